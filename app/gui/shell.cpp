#include "app/gui/shell.h"

#include "app/gui/text_codec.h"

#include <QProcess>

namespace gui {

void Shell::Execute(const QString& commandLine)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // Nobody can type into the command, so it reads end of input at once
    // instead of waiting for ever on a pipe that is never written.
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), commandLine});
    if (!process.waitForStarted(-1)) {
        errorCode_ = -1;
        result_ = process.errorString();
        return;
    }
    // waitForFinished keeps draining the pipe, so a command that writes more
    // than a pipe holds never blocks.
    process.waitForFinished(-1);
    result_ = decodeText(process.readAll());
    if (process.exitStatus() == QProcess::CrashExit)
        errorCode_ = 128 + process.exitCode();  // On Unix, exitCode() is then the signal.
    else
        errorCode_ = process.exitCode();
}

}  // namespace gui
