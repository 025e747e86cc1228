#pragma once

#include <QProcess>
#include <QString>

namespace testsupport {

/// An X server of the test's own: Xvfb on a display that nothing else uses,
/// listening on local sockets only. A fresh server, where no client owns the
/// clipboard or the primary selection, as in a new desktop session. Stopped
/// when the object goes.
class XServer {
public:
    /// Starts Xvfb and waits until it takes connections. When it is not found
    /// or does not start, isRunning() is false and whyNot() says why.
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool isRunning() const { return !display_.isEmpty(); }
    /// The value of DISPLAY for clients of this server, e.g. ":3".
    const QString& display() const { return display_; }
    /// Why the server is not running; empty when it is.
    const QString& whyNot() const { return whyNot_; }

private:
    QProcess server_;
    QString display_;
    QString whyNot_;
};

}  // namespace testsupport
