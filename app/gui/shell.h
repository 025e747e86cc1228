#pragma once

#include <QString>

namespace gui {

/// Runs command lines through /bin/sh, synchronously.
class Shell {
public:
    /// Runs one command line with `/bin/sh -c` and returns when it has ended.
    /// Output of any size is collected while the command runs.
    void Execute(const QString& commandLine);
    /// The exit status of the last command: 0 for success; 128 + the signal
    /// number for a command killed by a signal; -1 when /bin/sh could not start.
    int ErrorCode() const { return errorCode_; }
    /// The last command's standard output and standard error, interleaved as
    /// written, decoded by decodeText: every byte is kept, line ends included.
    const QString& Result() const { return result_; }

private:
    int errorCode_ = 0;
    QString result_;
};

}  // namespace gui
