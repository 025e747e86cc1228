#include "app/gui/text_codec.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cctype>

namespace {

struct Decoding {
    const char* name;
    QByteArray bytes;
    QString text;
};

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
};

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

INSTANTIATE_TEST_SUITE_P(TextCodec, TextCodec, ::testing::ValuesIn(kDecodings), [](const auto& info) {
    std::string name;
    for (const char* c = info.param.name; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
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

}  // namespace
