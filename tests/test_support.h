#pragma once

#include "app/gui/folder_item.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <QByteArray>

#include <functional>
#include <ostream>
#include <vector>

#include <sys/types.h>

class QFileDialog;
class QPoint;
class QWidget;
class QProcess;
class TWKWin;

namespace testsupport {

/// Reads a file's bytes; empty when it cannot be read.
QByteArray readBytes(const QString& path);
/// Writes bytes to a file, making its folder; fails the test when it cannot.
void writeBytes(const QString& path, const QByteArray& bytes);
/// Makes the folder (and its parents) and gives its item; fails the test when it cannot.
gui::FolderItemPtr makeFolder(const QString& path);
/// Kinds of node that are not plain files.
enum class Node { NamedPipe, Socket, ZeroDevice, NullDevice };
/// Makes the node at the path, in a folder of the test's own. Returns false,
/// making nothing and saying so, when this user may not make such a node here
/// (a device node needs root); fails the test when making it failed otherwise.
bool makeNode(const QString& path, Node node);
/// Makes the node beside the path (named as the path and ".target") and at
/// the path a link to it; false as for makeNode.
bool makeNodeBehindLink(const QString& path, Node node);
/// What makes something at a path for a case; false as for makeNode.
using PlaceMaker = std::function<bool(const QString& path)>;
/// Makers for a table of cases: the node at the path, or behind a link there.
PlaceMaker nodeMaker(Node node);
PlaceMaker nodeBehindLinkMaker(Node node);
/// A maker of a file one byte longer than a text stream reads.
PlaceMaker tooLargeFileMaker();
/// Makes a file of `size` bytes, all zero, that takes no room on the disk.
void makeSparseFile(const QString& path, qint64 size);
/// What stands at the path, links not followed: "named pipe", "socket",
/// "device 1,5", "link to <target>", "file of <n> bytes", "folder" or "nothing".
QString nodeAt(const QString& path);
/// The owner, group, mode bits and identity of a file, and how many names it
/// has, as stat (links followed) gives them; fails the test when it cannot.
struct FileIdentity {
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0;  ///< the permission bits with set-user-ID, set-group-ID and sticky
    ino_t inode = 0;
    nlink_t links = 0;

    static FileIdentity of(const QString& path);
};
std::ostream& operator<<(std::ostream& os, const FileIdentity& id);
/// Writes an executable /bin/sh script.
void writeScript(const QString& path, const QByteArray& body);
/// Runs pending events and deletes windows that were closed.
void settle();
/// Closes and deletes every top-level window.
void closeAllWindows();
/// The converter windows that are open, in no particular order.
std::vector<TWKWin*> openConverterWindows();
/// Unsets the three tool folders and the settings file.
void unsetToolFolders();
/// How a program run by runToEnd ended.
struct ProgramRun {
    bool ended = false;   ///< false: it ran past the minute and was killed
    bool crashed = false;
    int exitCode = -1;
    QString output;       ///< its standard output
    QStringList errors;   ///< its standard error, a line each
};
/// Runs the program with the environment until it ends, for a minute at most.
/// `whileRunning`, when given, is handed the process once it has started, to
/// act on what the program says before it ends; what it reads stays in the run.
ProgramRun runToEnd(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
                    const QString& workingDirectory = {},
                    const std::function<void(QProcess&)>& whileRunning = {});
/// Links the named programs, as the PATH finds them, into the folder, so that
/// a PATH of that folder alone reaches them and the stand-ins put beside them,
/// and nothing else of the machine's; fails the test when one is not found.
void linkPrograms(const QString& folder, const QStringList& names);
/// Waits, from the event loop, for the next file or folder dialog to open
/// modally, hands it to `look` and then cancels it.
void cancelNextFileDialog(std::function<void(QFileDialog&)> look);
/// Drops text at a point of the widget (a text area's viewport) as a drag
/// from another program does: it enters, moves there and drops.
void dropText(QWidget* widget, QPoint at, const QString& text);

}  // namespace testsupport

/// Test failures show texts as text rather than as bytes.
void PrintTo(const QString& text, std::ostream* os);
