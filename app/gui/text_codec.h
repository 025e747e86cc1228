#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace gui {

/// Text from a file's or a command's bytes. Valid UTF-8 decodes as text (a
/// byte-order mark included, as a character); every byte that is not part of
/// valid UTF-8 becomes one reserved code point, U+DC80 to U+DCFF, that
/// encodeText turns back into that very byte. So no byte is lost, and one
/// stray byte changes nothing around it.
QString decodeText(const QByteArray& bytes);
/// The bytes of a text: UTF-8, with each reserved code point written as the
/// byte it stands for. encodeText(decodeText(b)) == b for any bytes b.
QByteArray encodeText(QStringView text);
/// Bytes read on their own, as for a text written by hand in any editor:
/// valid UTF-8 is that text (U+FFFD and a byte-order mark are characters of it
/// like any other), and bytes that are not read as Latin-1, one character per
/// byte. The text may not encode back to the same bytes.
QString decodeUtf8OrLatin1(const QByteArray& bytes);

}  // namespace gui
