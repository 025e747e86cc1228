#pragma once

// For benchmark programs that show windows on Qt's offscreen platform.

#include <QString>
#include <QtGlobal>

namespace bench {

/// Keeps the offscreen platform from telling, on every window shown, what it
/// cannot do ("This plugin does not support raise()"): it keeps no stacking
/// order, and the tables are the program's output. Every other message goes
/// on to Qt's handler as before. Call before the QApplication is made.
inline void quietOffscreenPlatform()
{
    static QtMessageHandler qtHandler = nullptr;
    qtHandler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (!message.startsWith(QLatin1String("This plugin does not support ")))
            qtHandler(type, context, message);
    });
}

}  // namespace bench
