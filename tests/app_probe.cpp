#include "tests/app_probe.h"

#include "app/startup.h"

#include <QCoreApplication>
#include <QTimer>

namespace testsupport {

namespace {

void (*gProbe)() = nullptr;

void installProbe()
{
    // This runs inside QApplication's constructor, before runApplication
    // queues the Open event; what the loop's first turn queues comes after it.
    QTimer::singleShot(0, QCoreApplication::instance(),
                       [] { QTimer::singleShot(0, QCoreApplication::instance(), gProbe); });
}

Q_COREAPP_STARTUP_FUNCTION(installProbe)

}  // namespace

int runApplicationWithProbe(int argc, char** argv, void (*probe)())
{
    gProbe = probe;
    return runApplication(argc, argv);
}

}  // namespace testsupport
