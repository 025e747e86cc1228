// The application exactly as it starts, with the start-up benchmark's probe
// installed on its QApplication as soon as that exists.

#include "bench/show_probe.h"

#include "app/startup.h"
#include "converter/twk_win.h"

namespace {

void installProbe()
{
    QCoreApplication::instance()->installEventFilter(
        new bench::ShownProbe([](const QWidget* widget) { return dynamic_cast<const TWKWin*>(widget) != nullptr; }));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)

int main(int argc, char** argv)
{
    return runApplication(argc, argv);
}
