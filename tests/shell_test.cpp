#include "app/gui/folder_item.h"
#include "app/gui/shell.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

TEST(Shell, ResultHoldsStandardOutputAndErrorAsWritten)
{
    gui::Shell shell;
    shell.Execute(QStringLiteral("printf 'out 1\\n'; printf 'err 1\\n' >&2; printf 'Ünïcödé 日本語'; exit 0"));
    EXPECT_EQ(shell.ErrorCode(), 0);
    EXPECT_EQ(shell.Result().toStdString(), "out 1\nerr 1\nÜnïcödé 日本語");
}

TEST(Shell, ErrorCodeIsTheExitStatus)
{
    for (const int status : {0, 1, 3, 42, 255}) {
        SCOPED_TRACE(status);
        gui::Shell shell;
        shell.Execute(QStringLiteral("printf done; exit %1").arg(status));
        EXPECT_EQ(shell.ErrorCode(), status);
        EXPECT_EQ(shell.Result().toStdString(), "done");
    }
}

TEST(Shell, EachCommandReplacesTheLastOnesOutcome)
{
    gui::Shell shell;
    shell.Execute(QStringLiteral("echo first >&2; exit 9"));
    ASSERT_EQ(shell.ErrorCode(), 9);
    shell.Execute(QStringLiteral("echo second"));
    EXPECT_EQ(shell.ErrorCode(), 0);
    EXPECT_EQ(shell.Result().toStdString(), "second\n");
}

TEST(Shell, TenMebibytesOnStandardErrorAreCollectedWhole)
{
    // More than any pipe holds, with multi-byte characters throughout so that
    // output cut or decoded piece by piece would show.
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    QByteArray bytes;
    const QByteArray line = "0123456789 Ünïcödé 日本語 abcdefghijklmnopqrstuvwxyz\n";
    while (bytes.size() < 10 * 1024 * 1024)
        bytes += QByteArray::number(bytes.size()) + ' ' + line;
    const QString source = tmp.path() + QStringLiteral("/big out.txt");
    testsupport::writeBytes(source, bytes);

    gui::Shell shell;
    shell.Execute(QStringLiteral("cat ") + gui::shellQuote(source) + QStringLiteral(" >&2; exit 3"));
    EXPECT_EQ(shell.ErrorCode(), 3);
    const QByteArray result = shell.Result().toUtf8();
    EXPECT_EQ(result.size(), bytes.size());
    EXPECT_TRUE(result == bytes) << "the collected output differs from what was written";
}

TEST(Shell, CommandKilledBySignalFails)
{
    struct Case {
        const char* command;
        int errorCode;
    };
    const Case cases[] = {
        {"kill -KILL $$", 128 + 9},
        {"kill -TERM $$", 128 + 15},
        {"sh -c 'kill -KILL $$'", 128 + 9},
        {"sleep 30 & kill -TERM $!; wait $!", 128 + 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        gui::Shell shell;
        shell.Execute(QString::fromUtf8(c.command));
        EXPECT_EQ(shell.ErrorCode(), c.errorCode);
    }
}

TEST(Shell, CommandNotFoundFailsWithTheShellsMessage)
{
    const QString command = QStringLiteral("no-such-tool-tarnwick --version");
    // The message is the shell's own; take it from /bin/sh run directly.
    QProcess sh;
    sh.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    ASSERT_TRUE(sh.waitForFinished(-1));
    const QByteArray message = sh.readAllStandardError();
    ASSERT_TRUE(message.contains("no-such-tool-tarnwick")) << message.toStdString();

    gui::Shell shell;
    shell.Execute(command);
    EXPECT_EQ(shell.ErrorCode(), 127);
    EXPECT_EQ(shell.Result().toStdString(), message.toStdString());
}

TEST(Shell, CommandThatReadsStandardInputSeesItsEnd)
{
    // Nobody can type into a command run this way: it must see end of input at
    // once rather than wait for ever.
    gui::Shell shell;
    shell.Execute(QStringLiteral("cat; read line; echo \"read gave $?\""));
    EXPECT_EQ(shell.ErrorCode(), 0);
    EXPECT_EQ(shell.Result().toStdString(), "read gave 1\n");
}
