#include "app/gui/folder_item.h"
#include "app/gui/standard_folders.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <string>

#include <unistd.h>

namespace {

// Runs a script under /bin/sh and returns what it wrote to standard output,
// byte for byte. Standard error is kept apart so that it cannot pass for output.
std::string shOutput(const QString& script)
{
    QProcess sh;
    sh.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
    EXPECT_TRUE(sh.waitForFinished(-1));
    EXPECT_EQ(sh.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sh.exitCode(), 0) << sh.readAllStandardError().toStdString();
    return sh.readAllStandardOutput().toStdString();
}

// The words that /bin/sh makes of a command-line fragment, each in brackets, so
// that one word whose text is T prints exactly "[T]".
std::string shWords(const QString& fragment)
{
    return shOutput(QStringLiteral("for a in ") + fragment + QStringLiteral("; do printf '[%s]' \"$a\"; done"));
}

// Names that a shell would split, expand, redirect or glob if they were not quoted.
const QStringList kHostileNames = {
    QStringLiteral("with blank"),
    QStringLiteral("two  blanks\tand tab"),
    QStringLiteral("single'quote"),
    QStringLiteral("''"),
    QStringLiteral("double\"quote"),
    QStringLiteral("dollar$HOME"),
    QStringLiteral("${HOME}"),
    QStringLiteral("$(id)"),
    QStringLiteral("back`id`quote"),
    QStringLiteral("back\\slash\\"),
    QStringLiteral("a=b"),
    QStringLiteral(">redirect"),
    QStringLiteral("semi;touch x"),
    QStringLiteral("star*"),
    QStringLiteral("~"),
    QStringLiteral("~root"),
    QStringLiteral("new\nline"),
    QStringLiteral("trailing newline\n"),
    QStringLiteral("pipe|amp&"),
    QStringLiteral("brace{a,b}"),
    QStringLiteral("#hash"),
    QStringLiteral("-n"),
    QStringLiteral("Ünïcödé"),
    QStringLiteral("日本語のフォルダ"),
    QStringLiteral("all ' \" $ ` \\ = > ; * ~ \n of them"),
};

}  // namespace

TEST(ShellPath, HostilePathIsOneShellWordAndRoundTrips)
{
    for (const QString& name : kHostileNames) {
        const QString path = QStringLiteral("/Users/demo/") + name;
        SCOPED_TRACE(path.toStdString());
        const gui::FolderItemPtr item = gui::FolderItem::fromPath(path);
        ASSERT_EQ(item->path(), path);

        const QString shellPath = item->ShellPath();
        EXPECT_EQ(shOutput(QStringLiteral("printf %s ") + shellPath + QStringLiteral("/x")), (path + "/x").toStdString());
        EXPECT_EQ(shWords(shellPath + QStringLiteral("/x")), "[" + (path + "/x").toStdString() + "]");
        EXPECT_EQ(gui::FolderItem::fromShellPath(shellPath)->path(), path);
    }
}

TEST(ShellPath, HostileTextQuotesToOneWord)
{
    // A bare text, unlike an absolute path, can start with "~" or "-".
    for (const QString& name : kHostileNames) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(shWords(gui::shellQuote(name)), "[" + name.toStdString() + "]");
        EXPECT_EQ(gui::shellUnquote(gui::shellQuote(name)), name);
    }
}

TEST(ShellPath, SafePathStaysAsItIs)
{
    for (const QString& path : {QStringLiteral("/Users/demo/conv"), QStringLiteral("/opt/arm-none-eabi_13.2/bin"),
                               QStringLiteral("/a+b,c:d@e%f/G-h.i")}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(gui::FolderItem::fromPath(path)->ShellPath(), path);
        EXPECT_EQ(gui::FolderItem::fromShellPath(path)->path(), path);
    }
}

TEST(ShellPath, EmptyTextQuotesToTheEmptyArgument)
{
    const QString word = gui::shellQuote(QString());
    EXPECT_EQ(word, QStringLiteral("''"));
    EXPECT_EQ(shWords(word), "[]");
    EXPECT_EQ(shOutput(QStringLiteral("set -- ") + word + QStringLiteral("; printf %s $#")), "1");
}

TEST(ShellPath, HandWrittenWordReadsAsTheShellReadsIt)
{
    // Words quoted in the other ways a person writes them; /bin/sh is the judge.
    const QStringList words = {
        QStringLiteral("/a\\ b"),
        QStringLiteral("\"/a b\""),
        QStringLiteral("\"/a\\\"b\""),
        QStringLiteral("\"/a\\\\b\""),
        QStringLiteral("\"/a\\$b\\`c\""),
        QStringLiteral("\"/a\\nb\""),
        QStringLiteral("/a'b c'd"),
        QStringLiteral("'/a'\\''b'"),
        QStringLiteral("/mixed' 'and\" \"and\\ "),
        QStringLiteral("/line\\\ncontinued"),
        QStringLiteral("\"/line\\\ncontinued\""),
    };
    for (const QString& word : words) {
        SCOPED_TRACE(word.toStdString());
        EXPECT_EQ(gui::FolderItem::fromShellPath(word)->path().toStdString(), shOutput(QStringLiteral("printf %s ") + word));
    }
}

TEST(FolderItem, FromPathCleansAndRejectsRelativePaths)
{
    struct Case {
        QString given;
        QString path;
    };
    const Case cases[] = {
        {QStringLiteral("/a/./b/../c"), QStringLiteral("/a/c")},
        {QStringLiteral("/a/b/"), QStringLiteral("/a/b")},
        {QStringLiteral("//a//b"), QStringLiteral("/a/b")},
        {QStringLiteral("/"), QStringLiteral("/")},
        {QStringLiteral("relative/x"), QString()},
        {QStringLiteral("~/x"), QString()},
        {QString(), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given.toStdString());
        const gui::FolderItemPtr item = gui::FolderItem::fromPath(c.given);
        EXPECT_EQ(item->path(), c.path);
        if (c.path.isEmpty()) {
            EXPECT_FALSE(item->Exists());
            EXPECT_FALSE(item->CreateAsFolder());
            EXPECT_FALSE(item->Delete());
            EXPECT_EQ(item->Child(QStringLiteral("x"))->path(), QString());
        }
    }
}

TEST(FolderItem, ChildParentAndNameFollowThePath)
{
    struct Case {
        QString path;
        QString parent;
        QString name;
        QString child;
    };
    const Case cases[] = {
        {QStringLiteral("/"), QStringLiteral("/"), QString(), QStringLiteral("/c.txt")},
        {QStringLiteral("/a"), QStringLiteral("/"), QStringLiteral("a"), QStringLiteral("/a/c.txt")},
        {QStringLiteral("/a/b.tar.gz"), QStringLiteral("/a"), QStringLiteral("b.tar.gz"),
         QStringLiteral("/a/b.tar.gz/c.txt")},
        {QStringLiteral("/x y/Ünï 日本"), QStringLiteral("/x y"), QStringLiteral("Ünï 日本"),
         QStringLiteral("/x y/Ünï 日本/c.txt")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const gui::FolderItemPtr item = gui::FolderItem::fromPath(c.path);
        EXPECT_EQ(item->Parent()->path(), c.parent);
        EXPECT_EQ(item->Name(), c.name);
        EXPECT_EQ(item->Child(QStringLiteral("c.txt"))->path(), c.child);
    }
}

TEST(FolderItem, CreatesAndDeletesOnDisk)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const gui::FolderItemPtr root = gui::FolderItem::fromPath(tmp.path());

    const gui::FolderItemPtr folder = root->Child(QStringLiteral("sub 'dir' $x"));
    EXPECT_FALSE(folder->Exists());
    EXPECT_TRUE(folder->CreateAsFolder());
    EXPECT_TRUE(folder->Exists());
    EXPECT_TRUE(QFileInfo(folder->path()).isDir());
    EXPECT_TRUE(folder->CreateAsFolder()) << "creating an existing folder is harmless";
    EXPECT_EQ(folder->Parent()->path(), root->path());

    const gui::FolderItemPtr file = folder->Child(QStringLiteral("a.c"));
    EXPECT_FALSE(file->Exists());
    testsupport::writeBytes(file->path(), "int x;\n");
    EXPECT_TRUE(file->Exists());
    EXPECT_FALSE(file->CreateAsFolder()) << "a file is not a folder";
    EXPECT_EQ(testsupport::readBytes(file->path()), "int x;\n");

    EXPECT_FALSE(folder->Delete()) << "a folder that holds a file stays";
    EXPECT_TRUE(folder->Exists());

    EXPECT_TRUE(file->Delete());
    EXPECT_FALSE(file->Exists());
    EXPECT_FALSE(file->Delete()) << "nothing left to delete";

    EXPECT_TRUE(folder->Delete());
    EXPECT_FALSE(folder->Exists());
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

TEST(FolderItem, DeletingALinkToAFolderLeavesTheFolder)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const gui::FolderItemPtr root = gui::FolderItem::fromPath(tmp.path());
    const gui::FolderItemPtr target = root->Child(QStringLiteral("target"));
    ASSERT_TRUE(target->CreateAsFolder());
    const gui::FolderItemPtr link = root->Child(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(target->path(), link->path()));

    EXPECT_TRUE(link->Delete());
    EXPECT_FALSE(QFileInfo(link->path()).isSymLink());
    EXPECT_TRUE(target->Exists());
}

TEST(FolderItem, SameFileAsSeesThroughLinks)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString dir = tmp.path() + u'/';
    testsupport::writeBytes(dir + "a", "same bytes\n");
    testsupport::writeBytes(dir + "b", "same bytes\n");
    testsupport::writeBytes(dir + "folder/c", "c\n");
    ASSERT_TRUE(QFile::link(dir + "a", dir + "symlink"));
    ASSERT_EQ(link(QFile::encodeName(dir + "a").constData(), QFile::encodeName(dir + "hardlink").constData()), 0);
    ASSERT_TRUE(QFile::link(dir + "folder", dir + "folderlink"));
    ASSERT_TRUE(QFile::link(dir + "missing", dir + "dangling"));

    const struct {
        const char* first;
        const char* second;
        bool same;
    } cases[] = {
        {"a", "a", true},
        {"a", "b", false},
        {"a", "symlink", true},
        {"symlink", "a", true},
        {"a", "hardlink", true},
        {"symlink", "hardlink", true},
        {"folder/c", "folderlink/c", true},
        {"missing", "missing", true},
        {"missing", "a", false},
        {"dangling", "missing", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " and " + c.second);
        EXPECT_EQ(gui::FolderItem::fromPath(dir + c.first)->sameFileAs(*gui::FolderItem::fromPath(dir + c.second)),
                  c.same);
    }
    // An item that names nothing is no file, not even the same one as itself.
    const gui::FolderItemPtr nothing = gui::FolderItem::fromPath(QStringLiteral("relative"));
    EXPECT_FALSE(nothing->sameFileAs(*nothing));
}

TEST(SpecialFolder, FoldersFollowTheEnvironment)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    qputenv("HOME", home.path().toUtf8());
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(gui::SpecialFolder::UserHome()->path(), home.path());
    EXPECT_EQ(gui::SpecialFolder::Preferences()->path(), home.path() + QStringLiteral("/.config"));

    const QString config = home.path() + QStringLiteral("/my config");
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    EXPECT_EQ(gui::SpecialFolder::Preferences()->path(), config);
}
