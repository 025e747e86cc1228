#include "app/gui/text_codec.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

struct Decoding {
    std::string name;
    QByteArray bytes;
    QString text;
};

QString codePoint(char32_t value)
{
    return QString::fromUcs4(&value, 1);
}

/// What bytes that are not valid UTF-8 decode to: one reserved code point each.
QString escapes(const QByteArray& bytes)
{
    QString text;
    for (const char byte : bytes)
        text += QChar(char16_t(0xDC00 + static_cast<unsigned char>(byte)));
    return text;
}

// What the valid parts decode to shows that a stray byte spoils nothing around it.
const Decoding kDecodings[] = {
    {"ascii", "int a;\n", QStringLiteral("int a;\n")},
    {"utf8", "caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80", QStringLiteral("café 日本 😀")},
    {"byte order mark stays a character", "\xef\xbb\xbfx", QStringLiteral("\uFEFFx")},
    {"nul", QByteArray("a\0b", 3), QString(QStringLiteral("a")) + QChar(0) + u'b'},
    {"latin-1", "caf\xe9!", QStringLiteral("caf") + QChar(0xDCE9) + u'!'},
    {"shift-jis", "\x93\xfa\x96\x7b", QString(QChar(0xDC93)) + QChar(0xDCFA) + QChar(0xDC96) + u'{'},
    {"stray byte in utf8", "\xe6\x97\xa5\xff\xe6\x9c\xac", QStringLiteral("日") + QChar(0xDCFF) + QStringLiteral("本")},
    {"sequence cut off at the end", "ab\xc3", QStringLiteral("ab") + QChar(0xDCC3)},
    {"sequence cut off by ascii", "\xe6\x97z", QString(QChar(0xDCE6)) + QChar(0xDC97) + u'z'},
    {"overlong slash", "\xc0\xaf", QString(QChar(0xDCC0)) + QChar(0xDCAF)},
    {"encoded surrogate", "\xed\xb2\x80", QString(QChar(0xDCED)) + QChar(0xDCB2) + QChar(0xDC80)},
    {"past U+10FFFF", "\xf4\x90\x80\x80", QString(QChar(0xDCF4)) + QChar(0xDC90) + QChar(0xDC80) + QChar(0xDC80)},
    {"largest code point beside a stray byte", "\xf4\x8f\xbf\xbf\x80",
     QString::fromUcs4(U"\U0010FFFF") + QChar(0xDC80)},

    // The first and last code point of each length, and of each range where
    // the second byte's bounds change.
    {"U+007F", "\x7f", codePoint(0x7F)},
    {"U+0080", "\xc2\x80", codePoint(0x80)},
    {"U+07FF", "\xdf\xbf", codePoint(0x7FF)},
    {"U+0800", "\xe0\xa0\x80", codePoint(0x800)},
    {"U+0FFF", "\xe0\xbf\xbf", codePoint(0xFFF)},
    {"U+1000", "\xe1\x80\x80", codePoint(0x1000)},
    {"U+CFFF", "\xec\xbf\xbf", codePoint(0xCFFF)},
    {"U+D000", "\xed\x80\x80", codePoint(0xD000)},
    {"U+D7FF", "\xed\x9f\xbf", codePoint(0xD7FF)},
    {"U+E000", "\xee\x80\x80", codePoint(0xE000)},
    {"U+FFFF", "\xef\xbf\xbf", codePoint(0xFFFF)},
    {"U+10000", "\xf0\x90\x80\x80", codePoint(0x10000)},
    {"U+3FFFF", "\xf0\xbf\xbf\xbf", codePoint(0x3FFFF)},
    {"U+40000", "\xf1\x80\x80\x80", codePoint(0x40000)},
    {"U+FFFFF", "\xf3\xbf\xbf\xbf", codePoint(0xFFFFF)},
    {"U+100000", "\xf4\x80\x80\x80", codePoint(0x100000)},
    {"U+10FFFF", "\xf4\x8f\xbf\xbf", codePoint(0x10FFFF)},

    // Just outside those ranges: overlong forms, surrogates, past U+10FFFF,
    // leads that start nothing, continuations without a lead, sequences cut short.
    {"overlong C0 lead", "\xc0\x80", escapes("\xc0\x80")},
    {"overlong C1 lead", "\xc1\xbf", escapes("\xc1\xbf")},
    {"overlong E0 80", "\xe0\x80\x80", escapes("\xe0\x80\x80")},
    {"overlong E0 9F", "\xe0\x9f\xbf", escapes("\xe0\x9f\xbf")},
    {"surrogate ED A0", "\xed\xa0\x80", escapes("\xed\xa0\x80")},
    {"surrogate ED BF", "\xed\xbf\xbf", escapes("\xed\xbf\xbf")},
    {"overlong F0 80", "\xf0\x80\x80\x80", escapes("\xf0\x80\x80\x80")},
    {"overlong F0 8F", "\xf0\x8f\xbf\xbf", escapes("\xf0\x8f\xbf\xbf")},
    {"past U+10FFFF F4 BF", "\xf4\xbf\xbf\xbf", escapes("\xf4\xbf\xbf\xbf")},
    {"lead F5", "\xf5\x80\x80\x80", escapes("\xf5\x80\x80\x80")},
    {"lead F6", "\xf6\x90\x80\x80", escapes("\xf6\x90\x80\x80")},
    {"lead F7", "\xf7\xbf\xbf\xbf", escapes("\xf7\xbf\xbf\xbf")},
    {"leads F8 to FF", "\xf8\x88\x80\x80\x80\xfc\x84\x80\x80\x80\x80\xfe\xff",
     escapes("\xf8\x88\x80\x80\x80\xfc\x84\x80\x80\x80\x80\xfe\xff")},
    {"lone continuations", "\x80\xbf", escapes("\x80\xbf")},
    {"continuation after a whole sequence", "\xc3\xa9\xbf", QStringLiteral("é") + escapes("\xbf")},
    {"3-byte sequence cut off at the end", "a\xe0\xa0", u'a' + escapes("\xe0\xa0")},
    {"4-byte sequence cut off at the end", "a\xf0\x90\x80", u'a' + escapes("\xf0\x90\x80")},
    {"4-byte sequence cut off by ascii", "\xf4\x8f\xbfz", escapes("\xf4\x8f\xbf") + u'z'},
};

/// Each case alone, and again between stray bytes: with a stray byte in the
/// bytes and its escape in the text, the valid sequences go through the
/// escaping decoder and encoder instead of Qt's.
std::vector<Decoding> aloneAndBesideStrayBytes()
{
    std::vector<Decoding> cases;
    for (const Decoding& c : kDecodings) {
        cases.push_back(c);
        cases.push_back({c.name + " beside stray bytes", "\xff" + c.bytes + "\xff",
                         escapes("\xff") + c.text + escapes("\xff")});
    }
    return cases;
}

void PrintTo(const Decoding& c, std::ostream* os) { *os << c.name; }

class TextCodec : public ::testing::TestWithParam<Decoding> {};

TEST_P(TextCodec, DecodesValidUtf8AsTextAndEveryOtherByteToItsOwnCodePoint)
{
    EXPECT_EQ(gui::decodeText(GetParam().bytes), GetParam().text);
}

TEST_P(TextCodec, EncodesTheDecodedTextBackToTheSameBytes)
{
    EXPECT_EQ(gui::encodeText(gui::decodeText(GetParam().bytes)), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(TextCodec, TextCodec, ::testing::ValuesIn(aloneAndBesideStrayBytes()), [](const auto& info) {
    std::string name;
    for (const char c : info.param.name)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
});

TEST(TextCodecBytes, EveryByteValueComesBackAlone)
{
    for (int value = 0; value < 256; ++value) {
        const QByteArray bytes(1, static_cast<char>(value));
        EXPECT_EQ(gui::encodeText(gui::decodeText(bytes)), bytes) << value;
    }
}

TEST(TextCodecBytes, TypedTextEncodesAsUtf8)
{
    // A lone surrogate outside the reserved range cannot be written as UTF-8:
    // it becomes the replacement character rather than a byte of its own.
    EXPECT_EQ(gui::encodeText(QStringLiteral("é日😀")), QByteArray("\xc3\xa9\xe6\x97\xa5\xf0\x9f\x98\x80"));
    EXPECT_EQ(gui::encodeText(QString(QChar(0xDC10)) + QChar(0xDC80)), QByteArray("\xef\xbf\xbd\x80"));
}

TEST(TextCodecBytes, BytesReadOnTheirOwnAreUtf8WhenValidElseLatin1)
{
    const struct {
        const char* name;
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"empty", "", QString()},
        {"ascii", "/home/u", QStringLiteral("/home/u")},
        {"utf8", "Jos\xc3\xa9 \xe6\x97\xa5 \xf0\x9f\x98\x80", QStringLiteral("José 日 😀")},
        {"replacement character spelt out is utf8", "x\xef\xbf\xbd", QStringLiteral("x\uFFFD")},
        {"byte order mark stays a character", "\xef\xbb\xbfx", QStringLiteral("\uFEFFx")},
        {"nul", QByteArray("a\0b", 3), QString(QStringLiteral("a")) + QChar(0) + u'b'},
        {"latin-1", "caf\xe9", QStringLiteral("café")},
        {"utf8 with a stray byte is latin-1 throughout", "\xc3\xa9\xff", QStringLiteral("\u00c3\u00a9\u00ff")},
        {"sequence cut off at the end", "caf\xc3", QStringLiteral("caf\u00c3")},
        {"encoded surrogate", "\xed\xb2\x80", QStringLiteral("\u00ed\u00b2\u0080")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(gui::decodeUtf8OrLatin1(c.bytes), c.text);
    }
}

}  // namespace
