#include "app/gui/runtime.h"

#include <QApplication>
#include <QDateTime>

#include <cmath>

namespace gui {

namespace {

std::function<void()>& beepHandler()
{
    static std::function<void()> handler;
    return handler;
}

std::function<double()>& clock()
{
    static std::function<double()> clock;
    return clock;
}

}  // namespace

void Beep()
{
    if (beepHandler())
        beepHandler()();
    else
        QApplication::beep();
}

void setBeepHandlerForTesting(std::function<void()> handler)
{
    beepHandler() = std::move(handler);
}

Date::Date()
    : totalSeconds_(clock() ? clock()() : QDateTime::currentMSecsSinceEpoch() / 1000.0)
{
}

void Date::setClockForTesting(std::function<double()> newClock)
{
    clock() = std::move(newClock);
}

QString Str(double value, const QString& format)
{
    if (format == QLatin1String("#"))
        return QString::number(static_cast<long long>(std::floor(value)));
    return QString::number(value, 'g', 15);
}

QString Str(long long value)
{
    return QString::number(value);
}

QString EndOfLine()
{
    return QStringLiteral("\n");
}

namespace {

/// One rule for texts and bytes alike.
template <class Text>
Text nthField(const Text& text, const Text& separator, int n)
{
    if (n < 1)
        return {};
    if (separator.isEmpty())
        return n == 1 ? text : Text();
    qsizetype start = 0;
    for (int field = 1; field < n; ++field) {
        const qsizetype next = text.indexOf(separator, start);
        if (next < 0)
            return {};
        start = next + separator.size();
    }
    const qsizetype end = text.indexOf(separator, start);
    return text.mid(start, end < 0 ? -1 : end - start);
}

}  // namespace

QString NthField(const QString& text, const QString& separator, int n)
{
    return nthField(text, separator, n);
}

QByteArray NthField(const QByteArray& bytes, const QByteArray& separator, int n)
{
    return nthField(bytes, separator, n);
}

bool textEquals(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace gui
