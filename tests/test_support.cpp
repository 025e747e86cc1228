#include "tests/test_support.h"

#include "app/gui/plain_files.h"
#include "app/gui/window.h"
#include "converter/twk_win.h"
#include "settings/tool_folders.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/sysmacros.h>
#endif

namespace testsupport {

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
    ASSERT_EQ(file.write(bytes), bytes.size());
}

gui::FolderItemPtr makeFolder(const QString& path)
{
    EXPECT_TRUE(QDir().mkpath(path)) << qPrintable(path);
    return gui::FolderItem::fromPath(path);
}

bool makeNode(const QString& path, Node node)
{
    const QByteArray name = QFile::encodeName(path);
    int made = -1;
    switch (node) {
    case Node::NamedPipe:
        made = mkfifo(name.constData(), 0666);
        break;
    case Node::Socket: {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        EXPECT_LT(static_cast<size_t>(name.size()), sizeof address.sun_path) << qPrintable(path);
        std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        made = fd >= 0 ? bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) : -1;
        if (fd >= 0)
            close(fd);
        break;
    }
    case Node::ZeroDevice:
    case Node::NullDevice:
        made = mknod(name.constData(), S_IFCHR | 0666, makedev(1, node == Node::ZeroDevice ? 5 : 3));
        if (made != 0 && errno == EPERM) {
            std::printf("skipped: this user may not make device nodes\n");
            return false;
        }
        break;
    }
    EXPECT_EQ(made, 0) << qPrintable(path) << ": " << std::strerror(errno);
    return made == 0;
}

bool makeNodeBehindLink(const QString& path, Node node)
{
    const QString target = path + QStringLiteral(".target");
    if (!makeNode(target, node))
        return false;
    EXPECT_TRUE(QFile::link(target, path)) << qPrintable(path);
    return true;
}

PlaceMaker nodeMaker(Node node)
{
    return [node](const QString& path) { return makeNode(path, node); };
}

PlaceMaker nodeBehindLinkMaker(Node node)
{
    return [node](const QString& path) { return makeNodeBehindLink(path, node); };
}

PlaceMaker tooLargeFileMaker()
{
    return [](const QString& path) {
        makeSparseFile(path, gui::kLargestTextFileBytes + 1);
        return true;
    };
}

void makeSparseFile(const QString& path, qint64 size)
{
    writeBytes(path, {});
    ASSERT_EQ(truncate(QFile::encodeName(path).constData(), size), 0) << qPrintable(path);
}

QString nodeAt(const QString& path)
{
    struct stat node {};
    if (lstat(QFile::encodeName(path).constData(), &node) != 0)
        return QStringLiteral("nothing");
    if (S_ISFIFO(node.st_mode))
        return QStringLiteral("named pipe");
    if (S_ISSOCK(node.st_mode))
        return QStringLiteral("socket");
    if (S_ISCHR(node.st_mode))
        return QStringLiteral("device %1,%2").arg(major(node.st_rdev)).arg(minor(node.st_rdev));
    if (S_ISLNK(node.st_mode))
        return QStringLiteral("link to ") + QFile::symLinkTarget(path);
    if (S_ISDIR(node.st_mode))
        return QStringLiteral("folder");
    return QStringLiteral("file of %1 bytes").arg(node.st_size);
}

FileIdentity FileIdentity::of(const QString& path)
{
    struct stat st {};
    EXPECT_EQ(stat(QFile::encodeName(path).constData(), &st), 0) << qPrintable(path);
    return {st.st_uid, st.st_gid, static_cast<mode_t>(st.st_mode & 07777), st.st_ino, st.st_nlink};
}

std::ostream& operator<<(std::ostream& os, const FileIdentity& id)
{
    return os << "owner " << id.owner << ", group " << id.group << ", mode 0" << std::oct << id.mode << std::dec
              << ", " << id.links << " link(s)";
}

void writeScript(const QString& path, const QByteArray& body)
{
    writeBytes(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

void settle()
{
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

void closeAllWindows()
{
    gui::discardOpenWindows();
    settle();
}

std::vector<TWKWin*> openConverterWindows()
{
    std::vector<TWKWin*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = dynamic_cast<TWKWin*>(widget);
        if (window && window->isOpen())
            windows.push_back(window);
    }
    return windows;
}

void unsetToolFolders()
{
    Module1::gArmNoneFolder.reset();
    Module1::gTarnwickFolder.reset();
    Module1::gPythonFolder.reset();
    Module1::gSettingFile.reset();
}

ProgramRun runToEnd(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
                    const QString& workingDirectory, const std::function<void(QProcess&)>& whileRunning)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForStarted(-1))
        return run;
    if (whileRunning)
        whileRunning(process);
    run.ended = process.waitForFinished(60000);
    if (!run.ended) {
        process.kill();
        process.waitForFinished(-1);
    }
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    run.errors = QString::fromUtf8(process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
    return run;
}

void linkPrograms(const QString& folder, const QStringList& names)
{
    ASSERT_TRUE(QDir().mkpath(folder)) << qPrintable(folder);
    for (const QString& name : names) {
        const QString program = QStandardPaths::findExecutable(name);
        ASSERT_FALSE(program.isEmpty()) << "not on the PATH: " << qPrintable(name);
        ASSERT_TRUE(QFile::link(program, folder + u'/' + name)) << qPrintable(name);
    }
}

void cancelNextFileDialog(std::function<void(QFileDialog&)> look)
{
    QTimer::singleShot(0, [look = std::move(look)]() mutable {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            cancelNextFileDialog(std::move(look));
            return;
        }
        look(*dialog);
        dialog->reject();
    });
}

void dropText(QWidget* widget, QPoint at, const QString& text)
{
    QMimeData data;
    data.setText(text);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &dropped);
}

}  // namespace testsupport

void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toUtf8().constData() << '"';
}
