// The yardstick of the start-up benchmark: a minimal Qt program that shows one
// empty 600 x 550 window, probed the same way as the application. It is the
// floor no real window reaches, shown for comparison. Given --label, it shows
// one label in it as well.

#include "bench/show_probe.h"

#include <QLabel>

#include <cstring>

namespace {

void installProbe()
{
    QCoreApplication::instance()->installEventFilter(new bench::ShownProbe([](const QWidget*) { return true; }));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(600, 550);
    // With --label the window also shows one line of text, as every real
    // window does: that is what makes Qt set up its fonts at start-up.
    if (argc > 1 && std::strcmp(argv[1], "--label") == 0)
        (new QLabel(QStringLiteral("-s <行番号>"), &window))->setGeometry(27, 217, 62, 20);
    window.show();
    return QApplication::exec();
}
