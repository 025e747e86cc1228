#pragma once

#include <QString>

namespace testsupport {

/// The text on one line, with \r, \n, \t and \\ written as such and every
/// other character outside printable ASCII as \uXXXX, so that each line end
/// shows as its characters. Shared by the tests and the probes they run.
inline QString escaped(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\r': out += QLatin1String("\\r"); break;
        case u'\n': out += QLatin1String("\\n"); break;
        case u'\t': out += QLatin1String("\\t"); break;
        case u'\\': out += QLatin1String("\\\\"); break;
        default:
            if (c.unicode() < 0x20 || c.unicode() > 0x7e)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

}  // namespace testsupport
