// The application exactly as it starts, with a probe for the tests that give
// it real input on an X server: once the Open event has run, it opens the C
// file named first on its command line in a converter window, as File > Open
// does, gives the BASIC and log areas the same text, and closes every other
// window. When that window is shown, painted with spell checking on, and in
// front, it runs each further argument in turn as an xdotool command, where a
// word such as "cEF:9" stands for the point on screen of that position of the
// text in that area. Then it saves the C text to its file, prints each area's
// text, line ends and other control characters escaped, and where the C
// area's cursor and its selection's anchor are, and ends.
//
//     x_input_probe_app FILE 'mousemove cEF:9 click 1' 'key ctrl+v'

#include "app/gui/folder_item.h"
#include "app/gui/spell_checker.h"
#include "app/gui/text_area.h"
#include "converter/documents.h"
#include "converter/twk_win.h"
#include "tests/app_probe.h"
#include "tests/escaped_text.h"

#include <QApplication>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTest>
#include <QTextCursor>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

// Bounds for what takes well under a second; a busy machine may need more.
constexpr int kReadyMilliseconds = 20000;
constexpr int kToolMilliseconds = 10000;
// The whole run: past this the probe gives up, naming the step it is at.
constexpr int kRunMilliseconds = 40000;

QPointer<TWKWin> gWindow;
QStringList gSteps;
int gStep = 0;

[[noreturn]] void fail(const QString& why)
{
    std::fprintf(stderr, "x_input_probe_app: %s\n", qPrintable(why));
    std::fflush(stderr);
    // The failure may come from within a drag's own event loop.
    std::_Exit(2);
}

const char* const kAreas[] = {"cEF", "bEF", "rEF"};

gui::TextArea* area(const QString& name)
{
    return gWindow->_ControlByName<gui::TextArea>(name);
}

/// The screen point of a position of an area's text: on the left edge of the
/// character that follows it, halfway down its line.
QPoint screenPoint(const QString& areaName, int position)
{
    gui::TextArea* textArea = area(areaName);
    if (position < 0 || position >= textArea->document()->characterCount())
        fail(QStringLiteral("no position %1 in %2").arg(position).arg(areaName));
    QTextCursor cursor(textArea->document());
    cursor.setPosition(position);
    const QRect caret = textArea->cursorRect(cursor);
    return textArea->viewport()->mapToGlobal(QPoint(caret.left(), caret.center().y()));
}

/// The step's words for xdotool, each "area:position" as the point's x and y.
QStringList xdotoolArguments(const QString& step)
{
    static const QRegularExpression place(QStringLiteral("^(cEF|bEF|rEF):(\\d+)$"));
    QStringList arguments;
    for (const QString& word : step.split(u' ', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = place.match(word);
        if (!match.hasMatch()) {
            arguments << word;
            continue;
        }
        const QPoint point = screenPoint(match.captured(1), match.captured(2).toInt());
        arguments << QString::number(point.x()) << QString::number(point.y());
    }
    return arguments;
}

void finish()
{
    gWindow->SaveTWK();
    QString report;
    for (const char* name : kAreas)
        report += QLatin1String(name) + QStringLiteral(": ") + testsupport::escaped(area(QLatin1String(name))->Text())
                  + u'\n';
    const QTextCursor cursor = gWindow->cEF()->textCursor();
    report += QStringLiteral("cEF cursor: %1-%2\n").arg(cursor.anchor()).arg(cursor.position());
    std::fputs(report.toUtf8().constData(), stdout);
    std::fflush(stdout);
    QCoreApplication::exit(0);
}

void runStep(int index);

void queueStep(int index)
{
    QTimer::singleShot(0, QCoreApplication::instance(), [index] { runStep(index); });
}

/// The event-loop level at which the step under way has its input handled; 0
/// when none does.
int gHandlingLevel = 0;

int loopLevel()
{
    return QThread::currentThread()->loopLevel();
}

/// Runs the step unless another call has run it. Handling a step's input may
/// start an event loop of its own, a drag's, that only a later step ends: so
/// the next step is queued at once, for whichever loop runs, and a call that
/// comes while the input is still being handled at its own loop level waits.
void runStep(int index)
{
    if (index != gStep)
        return;
    if (loopLevel() == gHandlingLevel) {
        queueStep(index);
        return;
    }
    if (gStep == gSteps.size()) {
        // The last input has been handled, a drag it started has ended.
        if (loopLevel() > 1 || QGuiApplication::mouseButtons() != Qt::NoButton) {
            queueStep(index);
            return;
        }
        ++gStep;
        finish();
        return;
    }
    const QString step = gSteps.at(gStep);
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), xdotoolArguments(step));
    if (!xdotool.waitForFinished(kToolMilliseconds) || xdotool.exitStatus() != QProcess::NormalExit
        || xdotool.exitCode() != 0)
        fail(QStringLiteral("xdotool %1 failed (Debian package xdotool): %2 %3")
                 .arg(step, xdotool.errorString(), QString::fromLocal8Bit(xdotool.readAllStandardError())));
    ++gStep;
    queueStep(gStep);
    // xdotool has had the server make the input before it ended; a round trip
    // to the server, after it, has the application read and handle it.
    const int outer = std::exchange(gHandlingLevel, loopLevel());
    QGuiApplication::sync();
    gHandlingLevel = outer;
}

void openAndStart()
{
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2)
        fail(QStringLiteral("usage: x_input_probe_app FILE [XDOTOOL-STEP...]"));
    gWindow = Module1::OpenTWK(gui::FolderItem::fromPath(arguments.at(1)));
    if (!gWindow)
        fail(QStringLiteral("cannot open ") + arguments.at(1));
    gSteps = arguments.mid(2);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget != gWindow && widget->isWindow() && widget->isVisible())
            widget->close();
    }
    gWindow->bEF()->setText(gWindow->cEF()->Text());
    gWindow->rEF()->setText(gWindow->cEF()->Text());
    gWindow->raise();
    gWindow->activateWindow();

    if (!QTest::qWaitForWindowExposed(gWindow, kReadyMilliseconds)
        || !QTest::qWaitForWindowActive(gWindow, kReadyMilliseconds))
        fail(QStringLiteral("the window was not shown in front"));
    if (!QTest::qWaitFor([] { return gui::SpellChecker::shared().isReady(); }, kReadyMilliseconds))
        fail(QStringLiteral("the spelling dictionary did not load"));
    for (const char* name : kAreas) {
        if (!area(QLatin1String(name))->AutomaticallyCheckSpelling())
            fail(QStringLiteral("spell checking is off in ") + QLatin1String(name));
    }
    gWindow->repaint();
    QTimer::singleShot(kRunMilliseconds, QCoreApplication::instance(),
                       [] { fail(QStringLiteral("timed out at step %1 of %2").arg(gStep).arg(gSteps.size())); });
    queueStep(0);
}

}  // namespace

int main(int argc, char** argv)
{
    return testsupport::runApplicationWithProbe(argc, argv, openAndStart);
}
