// The application exactly as it starts, with a probe for the start-up test:
// once the Open event has run and a window is in front, it prints which
// windows are shown and which one is in front, then chooses File > Quit in the
// front window's menu bar, so the loop ends the way a user ends it.

#include "app/gui/menu_view.h"
#include "app/gui/window.h"
#include "converter/twk_win.h"
#include "settings/set_win.h"
#include "tests/app_probe.h"

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

QString classOf(const QWidget* window)
{
    if (dynamic_cast<const TWKWin*>(window))
        return QStringLiteral("TWKWin");
    if (dynamic_cast<const SetWin*>(window))
        return QStringLiteral("SetWin");
    return QString::fromLatin1(window->metaObject()->className());
}

/// "open: " and the classes of the shown windows, sorted; "front: " and the
/// class of the active one, or "none".
void reportWindows()
{
    QStringList shown;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isWindow() && widget->isVisible())
            shown << classOf(widget);
    }
    shown.sort();
    const QWidget* front = QApplication::activeWindow();
    const QString report = QStringLiteral("open: ") + shown.join(u' ') + QStringLiteral("\nfront: ")
                           + (front ? classOf(front) : QStringLiteral("none")) + u'\n';
    std::fputs(report.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

void chooseQuit()
{
    auto* front = dynamic_cast<gui::Window*>(QApplication::activeWindow());
    QAction* quit = front && front->menuBarView() ? front->menuBarView()->actionFor(QStringLiteral("FileQuit")) : nullptr;
    if (!quit) {
        std::fputs("quit_probe_app: no File > Quit in a front window\n", stderr);
        QCoreApplication::exit(3);
        return;
    }
    quit->trigger();
}

void afterOpenEvent()
{
    // Activation reaches the windows as window-system events, after the Open
    // event has shown them. When none comes, the report says so.
    static_cast<void>(QTest::qWaitFor([] { return QApplication::activeWindow() != nullptr; }));
    reportWindows();
    // Quit from the event loop itself rather than from within the wait above.
    QTimer::singleShot(0, QCoreApplication::instance(), chooseQuit);
}

}  // namespace

int main(int argc, char** argv)
{
    return testsupport::runApplicationWithProbe(argc, argv, afterOpenEvent);
}
