#pragma once

#include <QString>
#include <QTemporaryDir>

namespace testsupport {

/// Folders of the test program's own for all that Qt, and the tools the tests
/// run, keep per user: a home with its configuration, cache, data and state
/// folders, and a runtime folder. Made when the program starts, before the
/// QApplication, so that even the run that only lists the tests leaves the
/// home of whoever runs them alone; removed with everything in them when the
/// program ends normally. CTest runs every case as a process of its own, so
/// each case starts in fresh, empty folders that no parallel case shares.
class OwnHome {
public:
    /// Makes a fresh folder under the temporary folder with a home and a
    /// runtime folder (mode 0700, as Qt requires) in it, and points HOME,
    /// XDG_CONFIG_HOME, XDG_CACHE_HOME, XDG_DATA_HOME, XDG_STATE_HOME and
    /// XDG_RUNTIME_DIR there. When a folder cannot be made, isValid() is false
    /// and the environment is left as it was.
    OwnHome();

    /// Whether the folders were made and the environment points into them.
    bool isValid() const { return valid_; }

    /// The temporary folder the folders are made in: the one TMPDIR names,
    /// else /tmp. Named as given when it is no folder, so that none is made.
    static QString temporaryFolder();

private:
    QTemporaryDir root_;
    bool valid_ = false;
};

}  // namespace testsupport
