#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace gui {

/// Sounds the system alert.
void Beep();
/// Replaces what Beep does (tests count beeps); an empty function restores the alert.
void setBeepHandlerForTesting(std::function<void()> handler);

/// A moment in time.
class Date {
public:
    /// The current time.
    Date();
    /// That moment as seconds since the Unix epoch.
    double TotalSeconds() const { return totalSeconds_; }
    /// Replaces the clock that new Dates read (tests fix the time); an empty
    /// function restores the system clock.
    static void setClockForTesting(std::function<double()> clock);

private:
    double totalSeconds_;
};

/// A number as text. With the format "#": the value rounded down to a whole
/// number, digits only (a minus sign for a negative value).
QString Str(double value, const QString& format);
/// An integer in decimal.
QString Str(long long value);

/// The platform's line end.
QString EndOfLine();

/// Field n (counted from 1) of the text split at the separator; field 1 is the
/// whole text when the separator is not in it; a field that is not there is empty.
QString NthField(const QString& text, const QString& separator, int n);
/// The same on bytes: split at an ASCII separator, each field of a line holds
/// its own bytes, to be read in whatever encoding they are in.
QByteArray NthField(const QByteArray& bytes, const QByteArray& separator, int n);

/// Whether two texts are equal, ignoring letter case.
bool textEquals(const QString& a, const QString& b);

}  // namespace gui
