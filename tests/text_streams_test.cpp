#include "app/gui/text_streams.h"
#include "tests/test_support.h"
#include "tests/write_failure.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <QFile>

#include <sys/stat.h>

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

/// Every line that is left, each read by `readLine`.
QStringList readLines(gui::TextInputStream& in,
                      QString (gui::TextInputStream::*readLine)() = &gui::TextInputStream::ReadLine)
{
    QStringList lines;
    while (!in.Eof())
        lines << (in.*readLine)();
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

TEST_F(TextStreams, ByteOrderMarkIsNotPartOfTheFirstLine)
{
    auto in = gui::TextInputStream::Open(fileWith("\xef\xbb\xbf" "first\n\xef\xbb\xbfsecond\n"));
    ASSERT_TRUE(in);
    EXPECT_EQ(in->ReadLine(), QStringLiteral("first"));
    EXPECT_EQ(in->ReadLine(), QStringLiteral("\uFEFFsecond")) << "only the file's first mark is one";

    in = gui::TextInputStream::Open(fileWith("\xef\xbb\xbf" "all\n"));
    ASSERT_TRUE(in);
    EXPECT_EQ(in->ReadAll(), QStringLiteral("\uFEFFall\n")) << "the whole text keeps it";
}

TEST_F(TextStreams, StrayByteOnOneLineLeavesTheOthersAlone)
{
    auto in = gui::TextInputStream::Open(fileWith("/home/\xe6\x97\xa5\n/caf\xe9\n/\xc3\xa9\n"));
    ASSERT_TRUE(in);
    EXPECT_EQ(readLines(*in),
              (QStringList{QStringLiteral("/home/日"), QStringLiteral("/caf") + QChar(0xDCE9), QStringLiteral("/é")}));
}

TEST_F(TextStreams, LineThatIsNotUtf8ReadsAsLatin1OnItsOwn)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {"one Latin-1 line among UTF-8 lines", "/home/\xe6\x97\xa5\n/caf\xe9\r\n/\xc3\xa9\n",
         {"/home/日", "/café", "/é"}},
        {"Latin-1 line right after the byte-order mark", "\xef\xbb\xbf" "caf\xe9\rnext", {"café", "next"}},
        {"UTF-8 and a stray byte on one line: all of it is Latin-1", "\xc3\xa9\xff\n\xc3\xa9\n",
         {"\u00c3\u00a9\u00ff", "é"}},
        {"sequence cut off by the line end", "caf\xc3\nx\xa9", {"caf\u00c3", "x\u00a9"}},
        {"a later mark is text", "a\n\xef\xbb\xbf" "b\n", {"a", QChar(QChar::ByteOrderMark) + QStringLiteral("b")}},
        {"control bytes are UTF-8 as well", QByteArray("nul\0tab\t", 8), {QString::fromUtf8("nul\0tab\t", 8)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto in = gui::TextInputStream::Open(fileWith(c.bytes));
        ASSERT_TRUE(in);
        EXPECT_EQ(readLines(*in, &gui::TextInputStream::ReadLineUtf8OrLatin1), c.lines);
        EXPECT_EQ(in->ReadLineUtf8OrLatin1(), QString()) << "past the end a line is empty";
    }
}

TEST_F(TextStreams, OpenGivesNoStreamForMissingFileOrFolderAndSaysWhy)
{
    const struct {
        const char* name;
        gui::FolderItemPtr item;
        QString reason;
    } cases[] = {
        {"missing file", item(QStringLiteral("missing.txt")), QStringLiteral("No such file or directory")},
        {"folder", gui::FolderItem::fromPath(tmp_.path()), QStringLiteral("Is a directory")},
        {"relative path", gui::FolderItem::fromPath(QStringLiteral("relative.txt")),
         QStringLiteral("No such file or directory")},
        {"no item", nullptr, QStringLiteral("No such file or directory")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString why;
        EXPECT_FALSE(gui::TextInputStream::Open(c.item, &why));
        EXPECT_EQ(why, c.reason);
        EXPECT_FALSE(gui::TextInputStream::Open(c.item)) << "the reason is optional";
    }
}

TEST_F(TextStreams, CreateGivesNoStreamInMissingFolderOrOnFolderAndSaysWhy)
{
    const struct {
        const char* name;
        gui::FolderItemPtr item;
        QString reason;
    } cases[] = {
        {"missing folder", item(QStringLiteral("missing"))->Child(QStringLiteral("x.txt")),
         QStringLiteral("No such file or directory")},
        {"folder", gui::FolderItem::fromPath(tmp_.path()), QStringLiteral("Is a directory")},
        {"no item", nullptr, QStringLiteral("No such file or directory")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString why;
        EXPECT_FALSE(gui::TextOutputStream::Create(c.item, &why));
        EXPECT_EQ(why, c.reason);
    }
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
        "latin-1: caf\xe9\r\n",
        "shift-jis: \x93\xfa\x96\x7b\x8c\xea\n",
        "utf-8 with one stray byte: \xe6\x97\xa5\xff\xe6\x9c\xac\n",
        QByteArray("nul\0inside", 11),
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

        const int status = testsupport::runWithFileSizeLimit(kLimit, [&] {
            auto out = gui::TextOutputStream::Create(file);
            if (!out)
                return 2;
            for (qsizetype i = 0; i < c.writes; ++i)
                out->Write(chunk);
            if (out->Close())
                return 1;
            return out->errorString() == QLatin1String("File too large") ? 0 : 3;
        });
        EXPECT_EQ(status, 0) << "0: Close failed and said why; 1: Close succeeded; 2: no stream; 3: another reason";
        EXPECT_EQ(testsupport::readBytes(file->path()), old);
        EXPECT_EQ(entries(), QStringList{QStringLiteral("in.txt")}) << "no temporary file is left";
    }
}

TEST_F(TextStreams, PermissionsDecideBetweenReplacingWritingInPlaceAndRefusing)
{
    // Files are made by the test; the streams are used by a user without
    // privileges, for whom the permission bits hold.
    const QString old = QStringLiteral("old text\n");
    const QString dir = tmp_.path();
    struct Case {
        const char* name;
        mode_t folderMode;
        mode_t fileMode;  // 0: no file there yet
        int expected;     // 0: written; 1: no stream; 2: Close failed
        QString reason;
    };
    const Case cases[] = {
        {"writable file in writable folder", 0777, 0666, 0, {}},
        {"new file in writable folder", 0777, 0, 0, {}},
        {"writable file in read-only folder is written in place", 0555, 0666, 0, {}},
        {"read-only file in writable folder", 0777, 0444, 1, QStringLiteral("is not writable")},
        {"new file in read-only folder", 0555, 0, 1, QStringLiteral("Permission denied")},
    };
    ASSERT_EQ(chmod(QFile::encodeName(dir).constData(), 0755), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = dir + QStringLiteral("/folder");
        QDir(folder).removeRecursively();
        ASSERT_TRUE(QDir().mkdir(folder));
        const QString path = folder + QStringLiteral("/doc.txt");
        if (c.fileMode) {
            testsupport::writeBytes(path, old.toUtf8());
            ASSERT_EQ(chmod(QFile::encodeName(path).constData(), c.fileMode), 0);
        }
        ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), c.folderMode), 0);

        const QString reasonFile = dir + QStringLiteral("/reason");
        testsupport::writeBytes(reasonFile, {});
        ASSERT_EQ(chmod(QFile::encodeName(reasonFile).constData(), 0666), 0);
        const int status = testsupport::runUnprivileged([&] {
            QString why;
            auto out = gui::TextOutputStream::Create(gui::FolderItem::fromPath(path), &why);
            int result = 0;
            if (!out) {
                result = 1;
            } else {
                out->Write(QStringLiteral("new text\n"));
                if (!out->Close()) {
                    result = 2;
                    why = out->errorString();
                }
            }
            // The reason goes back through a file the test can read.
            QFile reason(reasonFile);
            if (!reason.open(QIODevice::WriteOnly))
                return 9;
            reason.write(why.toUtf8());
            return result;
        });
        ASSERT_NE(status, 254) << "could not become an unprivileged user";
        ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0777), 0);
        EXPECT_EQ(status, c.expected);
        const QString why = QString::fromUtf8(testsupport::readBytes(reasonFile));
        if (c.reason.isEmpty())
            EXPECT_EQ(why, QString());
        else
            EXPECT_TRUE(why.contains(c.reason)) << qPrintable(why);
        const QString expectedText = c.expected == 0 ? QStringLiteral("new text\n") : c.fileMode ? old : QString();
        EXPECT_EQ(QString::fromUtf8(testsupport::readBytes(path)), expectedText);
        EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  c.fileMode || c.expected == 0 ? QStringList{QStringLiteral("doc.txt")} : QStringList())
            << "no temporary file is left";
    }
}
