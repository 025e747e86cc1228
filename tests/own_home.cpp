#include "tests/own_home.h"

#include <QDir>
#include <QFile>

namespace testsupport {

OwnHome::OwnHome() : root_(temporaryFolder() + QStringLiteral("/tarnwick-tests-XXXXXX"))
{
    const QString home = root_.filePath(QStringLiteral("home"));
    const QString runtime = root_.filePath(QStringLiteral("runtime"));
    if (!root_.isValid() || !QDir().mkdir(home)
        || !QDir().mkdir(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return;
    // Set even where the user's session leaves them unset: a folder of the
    // user's own named there must not be reached either.
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toUtf8());
    qputenv("XDG_CACHE_HOME", (home + QStringLiteral("/.cache")).toUtf8());
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/.local/share")).toUtf8());
    qputenv("XDG_STATE_HOME", (home + QStringLiteral("/.local/state")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    valid_ = true;
}

QString OwnHome::temporaryFolder()
{
    const QString folder = QDir::tempPath();
    if (!folder.isEmpty())
        return folder;
    // Qt gives no path for a temporary folder that does not exist, which would
    // put the home at the root of the file system.
    const QString named = qEnvironmentVariable("TMPDIR");
    return named.isEmpty() ? QStringLiteral("/tmp") : named;
}

}  // namespace testsupport
