#include "tests/test_support.h"

#include "app/gui/window.h"
#include "converter/twk_win.h"
#include "settings/tool_folders.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

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
                    const QString& workingDirectory)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForStarted(-1))
        return run;
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

}  // namespace testsupport

void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toUtf8().constData() << '"';
}
