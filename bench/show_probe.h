#pragma once

// Built into the start-up benchmark's two child programs only. From the moment
// the QApplication exists, it watches for the first window that the given test
// accepts to be exposed on screen, has that window paint itself completely,
// then prints the monotonic time of that moment and how many top-level windows
// are visible, and ends the event loop. The paint is part of the measure: a
// window is shown when its picture is there, and a window with text pays for
// its fonts there rather than before it is exposed.

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <ctime>
#include <functional>

namespace bench {

class ShownProbe : public QObject {
public:
    explicit ShownProbe(std::function<bool(const QWidget*)> isTarget)
        : QObject(QCoreApplication::instance()), isTarget_(std::move(isTarget))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (done_ || event->type() != QEvent::Expose)
            return false;
        auto* window = qobject_cast<QWindow*>(watched);
        if (!window || !window->isExposed())
            return false;
        for (const QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->windowHandle() != window || !isTarget_(widget))
                continue;
            const_cast<QWidget*>(widget)->repaint();
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            int visible = 0;
            for (const QWidget* other : QApplication::topLevelWidgets())
                visible += other->isVisible() ? 1 : 0;
            std::printf("shown %lld windows %d\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                        visible);
            std::fflush(stdout);
            done_ = true;
            QCoreApplication::quit();
            break;
        }
        return false;
    }

private:
    std::function<bool(const QWidget*)> isTarget_;
    bool done_ = false;
};

}  // namespace bench
