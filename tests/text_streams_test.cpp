#include "app/gui/text_streams.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class TextStreams : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tmp_.isValid()); }

    gui::FolderItemPtr item(const QString& name) const
    {
        return gui::FolderItem::fromPath(tmp_.path())->Child(name);
    }
    gui::FolderItemPtr fileWith(const QByteArray& bytes) const
    {
        const gui::FolderItemPtr file = item(QStringLiteral("in.txt"));
        testsupport::writeBytes(file->path(), bytes);
        return file;
    }
    QStringList entries() const
    {
        return QDir(tmp_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir tmp_;
};

QStringList readLines(gui::TextInputStream& in)
{
    QStringList lines;
    while (!in.Eof())
        lines << in.ReadLine();
    return lines;
}

}  // namespace

TEST_F(TextStreams, ReadLineKnowsEveryLineEnd)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {"LF", "a\nbb\nccc\n", {"a", "bb", "ccc"}},
        {"CR", "a\rbb\rccc\r", {"a", "bb", "ccc"}},
        {"CRLF", "a\r\nbb\r\nccc\r\n", {"a", "bb", "ccc"}},
        {"mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"last line without line end", "first\nlast", {"first", "last"}},
        {"one line without line end", "only", {"only"}},
        {"empty lines", "\n\r\n\r", {"", "", ""}},
        {"LF then CR is two line ends", "a\n\rb", {"a", "", "b"}},
        {"CR CR LF is two line ends", "a\r\r\nb", {"a", "", "b"}},
        {"blanks and tabs are kept", " \ta \t\n", {" \ta \t"}},
        {"UTF-8", "Ünïcödé\r\n日本語\n", {"Ünïcödé", "日本語"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto in = gui::TextInputStream::Open(fileWith(c.bytes));
        ASSERT_TRUE(in);
        EXPECT_EQ(readLines(*in), c.lines);
        EXPECT_EQ(in->ReadLine(), QString()) << "past the end a line is empty";
        EXPECT_TRUE(in->Eof());
    }
}

TEST_F(TextStreams, EmptyFileIsAtItsEndAtOnce)
{
    auto in = gui::TextInputStream::Open(fileWith(QByteArray()));
    ASSERT_TRUE(in);
    EXPECT_TRUE(in->Eof());
    EXPECT_EQ(in->ReadLine(), QString());
    EXPECT_TRUE(in->Eof());
    EXPECT_EQ(in->ReadAll(), QString());
}

TEST_F(TextStreams, ReadAllGivesTheRestAfterReadLine)
{
    auto in = gui::TextInputStream::Open(fileWith("first\r\nsecond\rthird\n\n"));
    ASSERT_TRUE(in);
    EXPECT_EQ(in->ReadLine(), QStringLiteral("first"));
    EXPECT_FALSE(in->Eof());
    EXPECT_EQ(in->ReadAll(), QStringLiteral("second\rthird\n\n"));
    EXPECT_TRUE(in->Eof());
    EXPECT_EQ(in->ReadAll(), QString());
}

TEST_F(TextStreams, BytesThatAreNotUtf8AreKeptAsLatin1)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"Latin-1 letter", "caf\xe9\n", QStringLiteral("café\n")},
        {"sequence cut off at the end", "ab\xc3", QStringLiteral("ab\u00c3")},
        {"lone continuation byte", "\x80z", QStringLiteral("\u0080z")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto in = gui::TextInputStream::Open(fileWith(c.bytes));
        ASSERT_TRUE(in);
        EXPECT_EQ(in->ReadAll(), c.text);
    }
}

TEST_F(TextStreams, OpenGivesNoStreamForMissingFileOrFolder)
{
    EXPECT_FALSE(gui::TextInputStream::Open(item(QStringLiteral("missing.txt"))));
    EXPECT_FALSE(gui::TextInputStream::Open(gui::FolderItem::fromPath(tmp_.path())));
    EXPECT_FALSE(gui::TextInputStream::Open(gui::FolderItem::fromPath(QStringLiteral("relative.txt"))));
    EXPECT_FALSE(gui::TextInputStream::Open(nullptr));
}

TEST_F(TextStreams, CreateGivesNoStreamInMissingFolderOrOnFolder)
{
    EXPECT_FALSE(gui::TextOutputStream::Create(item(QStringLiteral("missing"))->Child(QStringLiteral("x.txt"))));
    EXPECT_FALSE(gui::TextOutputStream::Create(gui::FolderItem::fromPath(tmp_.path())));
    EXPECT_FALSE(gui::TextOutputStream::Create(nullptr));
    EXPECT_EQ(entries(), QStringList());
}

TEST_F(TextStreams, WriteLineReadsBackLineByLine)
{
    const QStringList lines = {"first", "", "\twith tab ", "Ünïcödé 日本語", "last"};
    const gui::FolderItemPtr file = item(QStringLiteral("lines.txt"));
    {
        auto out = gui::TextOutputStream::Create(file);
        ASSERT_TRUE(out);
        for (const QString& line : lines)
            out->WriteLine(line);
        EXPECT_TRUE(out->Close());
    }
    EXPECT_EQ(testsupport::readBytes(file->path()), (lines.join(u'\n') + u'\n').toUtf8());
    auto in = gui::TextInputStream::Open(file);
    ASSERT_TRUE(in);
    EXPECT_EQ(readLines(*in), lines);
}

TEST_F(TextStreams, ReadAllThenWriteKeepsEveryByte)
{
    const QByteArray cases[] = {
        "line 1\r\nline 2\rline 3\n\tÜnïcödé 日本語 \t\r\n\n\r",
        "no line end at the end: \xe2\x82\xac",
        "\xef\xbb\xbf" "byte-order mark first\r\n",
    };
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.toStdString());
        auto in = gui::TextInputStream::Open(fileWith(bytes));
        ASSERT_TRUE(in);
        const QString text = in->ReadAll();
        in->Close();

        const gui::FolderItemPtr copy = item(QStringLiteral("copy.txt"));
        auto out = gui::TextOutputStream::Create(copy);
        ASSERT_TRUE(out);
        out->Write(text);
        ASSERT_TRUE(out->Close());
        EXPECT_EQ(testsupport::readBytes(copy->path()), bytes);
    }
}

TEST_F(TextStreams, CreateReplacesTheOldFileOnlyAtClose)
{
    const gui::FolderItemPtr file = fileWith("old text that is longer than the new\n");
    auto out = gui::TextOutputStream::Create(file);
    ASSERT_TRUE(out);
    out->Write(QStringLiteral("new"));
    EXPECT_EQ(testsupport::readBytes(file->path()), "old text that is longer than the new\n");
    EXPECT_TRUE(out->Close());
    EXPECT_EQ(testsupport::readBytes(file->path()), "new");
    EXPECT_FALSE(out->Close()) << "a closed stream has nothing more to put in place";
    EXPECT_EQ(entries(), QStringList{QStringLiteral("in.txt")});
}

TEST_F(TextStreams, StreamDestroyedWithoutCloseCommits)
{
    const gui::FolderItemPtr file = fileWith("old");
    {
        auto out = gui::TextOutputStream::Create(file);
        ASSERT_TRUE(out);
        out->WriteLine(QStringLiteral("kept by the destructor"));
    }
    EXPECT_EQ(testsupport::readBytes(file->path()), "kept by the destructor\n");
    EXPECT_EQ(entries(), QStringList{QStringLiteral("in.txt")});
}

TEST_F(TextStreams, FailedWriteLeavesTheOldFileWhole)
{
    // The child process writes under a file-size limit, so the disk refuses the
    // write part of the way through, as a full disk would.
    const QByteArray old = "old bytes\r\nÜnïcödé\n";
    constexpr rlim_t kLimit = 4096;
    struct Case {
        const char* name;
        qsizetype writes;
        qsizetype length;
    };
    const Case cases[] = {
        {"one write far over the limit", 1, 1 << 20},
        {"one write just over the limit, still in the buffer", 1, 5000},
        {"many small writes", 2000, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const gui::FolderItemPtr file = fileWith(old);
        const QString chunk(c.length, u'x');

        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{kLimit, kLimit};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
                _exit(3);
            auto out = gui::TextOutputStream::Create(file);
            if (!out)
                _exit(2);
            for (qsizetype i = 0; i < c.writes; ++i)
                out->Write(chunk);
            _exit(out->Close() ? 1 : 0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
        EXPECT_EQ(WEXITSTATUS(status), 0) << "0: Close failed; 1: Close succeeded; 2: no stream; 3: no limit";
        EXPECT_EQ(testsupport::readBytes(file->path()), old);
        EXPECT_EQ(entries(), QStringList{QStringLiteral("in.txt")}) << "no temporary file is left";
    }
}
