#include "tests/x_server.h"

#include <QStandardPaths>

#ifdef __linux__
#include <sys/prctl.h>

#include <csignal>
#endif

namespace testsupport {

namespace {

// Xvfb starts and ends in well under a second; this is the bound for a busy machine.
constexpr int kWaitMilliseconds = 20000;

}  // namespace

XServer::XServer()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (program.isEmpty()) {
        whyNot_ = QStringLiteral("Xvfb is not installed (Debian package xvfb; scripts/install-deps installs it)");
        return;
    }
#ifdef __linux__
    // A server outlives a test killed before it could stop it (at a time-out),
    // and takes a hang-up for a reset: it is told to end when the test does.
    server_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    // With -displayfd the server picks a free display itself and writes its
    // number, once it takes connections, to the descriptor given: its output.
    server_.start(program, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("1280x1024x24")});
    if (!server_.waitForStarted(kWaitMilliseconds)) {
        whyNot_ = QStringLiteral("Xvfb did not start: ") + server_.errorString();
        return;
    }
    QByteArray number;
    while (!number.endsWith('\n') && server_.waitForReadyRead(kWaitMilliseconds))
        number += server_.readAllStandardOutput();
    bool isNumber = false;
    number.trimmed().toInt(&isNumber);
    if (!isNumber) {
        whyNot_ = QStringLiteral("Xvfb gave no display: ") + QString::fromLocal8Bit(server_.readAllStandardError());
        return;
    }
    display_ = u':' + QString::fromLatin1(number.trimmed());
}

XServer::~XServer()
{
    if (server_.state() == QProcess::NotRunning)
        return;
    // Terminated, the server removes its lock file and socket.
    server_.terminate();
    if (!server_.waitForFinished(kWaitMilliseconds)) {
        server_.kill();
        server_.waitForFinished(-1);
    }
}

}  // namespace testsupport
