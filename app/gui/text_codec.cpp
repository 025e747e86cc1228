#include "app/gui/text_codec.h"

#include <QStringDecoder>

#include <algorithm>

namespace gui {

namespace {

// A byte that is not part of valid UTF-8 stands as a lone low surrogate, which
// valid UTF-8 can never decode to: the mapping cannot be mistaken for text.
constexpr char16_t kEscapeBase = 0xDC00;

bool isEscape(char16_t unit)
{
    return unit >= 0xDC80 && unit <= 0xDCFF;
}

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

/// The length of the valid UTF-8 sequence that starts at `at`, or 0 when the
/// byte there does not start one (overlong forms, surrogates and code points
/// past U+10FFFF are not valid).
qsizetype validSequenceLength(const unsigned char* bytes, qsizetype at, qsizetype size)
{
    const unsigned char lead = bytes[at];
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > size || bytes[at + 1] < low || bytes[at + 1] > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (!isContinuation(bytes[at + i]))
            return 0;
    }
    return length;
}

QString decodeEscaping(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    QString text;
    text.reserve(size);
    qsizetype at = 0;
    while (at < size) {
        const unsigned char lead = data[at];
        if (lead < 0x80) {
            text += QChar(lead);
            ++at;
            continue;
        }
        const qsizetype length = validSequenceLength(data, at, size);
        if (length == 0) {
            text += QChar(char16_t(kEscapeBase + lead));
            ++at;
            continue;
        }
        char32_t codePoint = lead & (0x7F >> length);
        for (qsizetype i = 1; i < length; ++i)
            codePoint = (codePoint << 6) | (data[at + i] & 0x3F);
        text += QChar::fromUcs4(codePoint);
        at += length;
    }
    return text;
}

void appendUtf8(QByteArray& bytes, char32_t codePoint)
{
    if (codePoint < 0x80) {
        bytes += char(codePoint);
    } else if (codePoint < 0x800) {
        bytes += char(0xC0 | (codePoint >> 6));
        bytes += char(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        bytes += char(0xE0 | (codePoint >> 12));
        bytes += char(0x80 | ((codePoint >> 6) & 0x3F));
        bytes += char(0x80 | (codePoint & 0x3F));
    } else {
        bytes += char(0xF0 | (codePoint >> 18));
        bytes += char(0x80 | ((codePoint >> 12) & 0x3F));
        bytes += char(0x80 | ((codePoint >> 6) & 0x3F));
        bytes += char(0x80 | (codePoint & 0x3F));
    }
}

QByteArray encodeEscaping(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 3);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (isEscape(unit)) {
            bytes += char(unit - kEscapeBase);
        } else if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            appendUtf8(bytes, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            appendUtf8(bytes, QChar::ReplacementCharacter);
        } else {
            appendUtf8(bytes, unit);
        }
    }
    return bytes;
}

}  // namespace

QString decodeText(const QByteArray& bytes)
{
    // Most files are valid UTF-8 throughout: Qt's decoder takes those at its
    // speed. Stateless: a sequence cut off at the end is an error as well.
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeEscaping(bytes);
}

QByteArray encodeText(QStringView text)
{
    const bool escapes = std::any_of(text.begin(), text.end(), [](QChar c) { return isEscape(c.unicode()); });
    return escapes ? encodeEscaping(text) : text.toUtf8();
}

QString decodeUtf8OrLatin1(const QByteArray& bytes)
{
    // Qt's decoder errs only on bytes that are not UTF-8; a U+FFFD that the
    // bytes spell out is text. A mark is kept: these bytes may be from the
    // middle of a file.
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

}  // namespace gui
