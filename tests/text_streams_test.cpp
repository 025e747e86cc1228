#include "app/gui/application.h"
#include "app/gui/plain_files.h"
#include "app/gui/text_codec.h"
#include "app/gui/text_streams.h"
#include "tests/test_support.h"
#include "tests/write_failure.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include <sys/stat.h>
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
        return QDir(tmp_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                           QDir::Name);
    }

    QTemporaryDir tmp_;
};

/// Every line that is left, each read by `readLine`.
template <class Line = QString>
QList<Line> readLines(gui::TextInputStream& in,
                      Line (gui::TextInputStream::*readLine)() = &gui::TextInputStream::ReadLine)
{
    QList<Line> lines;
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

TEST_F(TextStreams, ReadLineBytesGivesEachLineAsTheFileHoldsIt)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QList<QByteArray> lines;
    };
    const Case cases[] = {
        {"one Latin-1 line among UTF-8 lines", "/home/\xe6\x97\xa5\n/caf\xe9\r\n/\xc3\xa9\n",
         {"/home/\xe6\x97\xa5", "/caf\xe9", "/\xc3\xa9"}},
        {"the file's mark is not part of a UTF-8 first line", "\xef\xbb\xbf" "caf\xc3\xa9\rnext",
         {"caf\xc3\xa9", "next"}},
        {"nor of a Latin-1 one", "\xef\xbb\xbf" "caf\xe9\rnext", {"caf\xe9", "next"}},
        {"a later mark is part of its line", "a\n\xef\xbb\xbf" "b\n", {"a", "\xef\xbb\xbf" "b"}},
        {"sequence cut off by the line end", "caf\xc3\nx\xa9", {"caf\xc3", "x\xa9"}},
        {"control bytes and a replacement character", QByteArray("nul\0tab\t\xef\xbf\xbd", 11),
         {QByteArray("nul\0tab\t\xef\xbf\xbd", 11)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto in = gui::TextInputStream::Open(fileWith(c.bytes));
        ASSERT_TRUE(in);
        EXPECT_EQ(readLines(*in, &gui::TextInputStream::ReadLineBytes), c.lines);
        EXPECT_EQ(in->ReadLineBytes(), QByteArray()) << "past the end a line is empty";
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
        ASSERT_NE(status, testsupport::kNotUnprivileged) << "could not become an unprivileged user";
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

// ---------------------------------------------------------------------------
// Only plain files are read and replaced; a save keeps the file the same file.

namespace {

/// One thing in the place of the file that a stream is given.
struct PlaceCase {
    const char* name;
    testsupport::PlaceMaker make;
    QString reason;
};

const QString kNamedPipe = QStringLiteral("It is a named pipe (FIFO), not a plain file");
const QString kSocket = QStringLiteral("It is a socket, not a plain file");
const QString kDevice = QStringLiteral("It is a device, not a plain file");

using testsupport::Node;
const auto node = testsupport::nodeMaker;
const auto linkTo = testsupport::nodeBehindLinkMaker;

}  // namespace

TEST_F(TextStreams, OpenRefusesAnythingButAPlainFileAtOnce)
{
    const QString tooLarge = QStringLiteral("File too large: it holds more than 16 MiB, the most this application reads");
    const PlaceCase cases[] = {
        {"named pipe", node(Node::NamedPipe), kNamedPipe},
        {"link to a named pipe", linkTo(Node::NamedPipe), kNamedPipe},
        {"socket", node(Node::Socket), kSocket},
        {"zero device", node(Node::ZeroDevice), kDevice},
        {"link to a zero device", linkTo(Node::ZeroDevice), kDevice},
        {"file one byte over the limit", testsupport::tooLargeFileMaker(), tooLarge},
        {"dangling link", [](const QString& path) { return QFile::link(path + QStringLiteral(".gone"), path); },
         QStringLiteral("No such file or directory")},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(tmp_.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(tmp_.path()));
        const gui::FolderItemPtr file = item(QStringLiteral("in.txt"));
        if (!c.make(file->path()))
            continue;
        // A read that blocks or never ends would take the test with it.
        const testsupport::ChildReport report = testsupport::reportFromChild(testsupport::withinBounds, [&] {
            QString why;
            return gui::TextInputStream::Open(file, &why) ? QStringLiteral("opened") : why;
        });
        EXPECT_EQ(report.status, 0) << "the child blocked, ran out of memory or crashed";
        EXPECT_EQ(report.text, c.reason);
    }
}

TEST_F(TextStreams, FileAtTheLimitIsReadWhole)
{
    const gui::FolderItemPtr file = item(QStringLiteral("large.txt"));
    testsupport::makeSparseFile(file->path(), gui::kLargestTextFileBytes);
    auto in = gui::TextInputStream::Open(file);
    ASSERT_TRUE(in);
    EXPECT_EQ(in->ReadAll(), QString(gui::kLargestTextFileBytes, QChar(0)));
}

TEST_F(TextStreams, CreateRefusesWhatIsNotAPlainFileAndLeavesItAsItIs)
{
    const PlaceCase cases[] = {
        {"named pipe", node(Node::NamedPipe), kNamedPipe},
        {"link to a named pipe", linkTo(Node::NamedPipe), kNamedPipe},
        {"socket", node(Node::Socket), kSocket},
        {"null device", node(Node::NullDevice), kDevice},
        {"link to a null device", linkTo(Node::NullDevice), kDevice},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(tmp_.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(tmp_.path()));
        const gui::FolderItemPtr file = item(QStringLiteral("out.txt"));
        if (!c.make(file->path()))
            continue;
        const QStringList before = entries();
        QStringList nodes;
        for (const QString& name : before)
            nodes << testsupport::nodeAt(tmp_.filePath(name));

        const testsupport::ChildReport report = testsupport::reportFromChild(testsupport::withinBounds, [&] {
            QString why;
            auto out = gui::TextOutputStream::Create(file, &why);
            if (!out)
                return QStringLiteral("no stream: ") + why;
            out->Write(QStringLiteral("text"));
            return out->Close() ? QStringLiteral("written") : QStringLiteral("failed: ") + out->errorString();
        });
        EXPECT_EQ(report.status, 0) << "the child blocked or crashed";
        EXPECT_EQ(report.text, QStringLiteral("no stream: ") + c.reason);
        EXPECT_EQ(entries(), before) << "nothing made, nothing taken away";
        QStringList after;
        for (const QString& name : entries())
            after << testsupport::nodeAt(tmp_.filePath(name));
        EXPECT_EQ(after, nodes);
    }
}

TEST_F(TextStreams, DanglingLinkIsSavedAsTheFileItNames)
{
    const QString target = tmp_.filePath(QStringLiteral("target.txt"));
    const gui::FolderItemPtr link = item(QStringLiteral("link.txt"));
    ASSERT_TRUE(QFile::link(target, link->path()));
    auto out = gui::TextOutputStream::Create(link);
    ASSERT_TRUE(out);
    out->Write(QStringLiteral("through the link"));
    ASSERT_TRUE(out->Close());
    EXPECT_EQ(testsupport::nodeAt(link->path()), QStringLiteral("link to ") + target);
    EXPECT_EQ(testsupport::readBytes(target), "through the link");
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("link.txt"), QStringLiteral("target.txt")}));
}

using testsupport::FileIdentity;

TEST_F(TextStreams, ASaveKeepsTheFileTheSameFile)
{
    const uid_t me = geteuid();
    const gid_t myGroup = getegid();
    const uid_t nobody = testsupport::kUnprivilegedId;
    struct Case {
        const char* name;
        uid_t owner;
        gid_t group;
        mode_t mode;
        bool hardLink;
        enum { Me, Root, Nobody } savedBy;  ///< Root and Nobody need the tests to run as root
    };
    const Case cases[] = {
        {"file with a second hard link", me, myGroup, 0644, true, Case::Me},
        {"own file that only its owner may read", me, myGroup, 0600, false, Case::Me},
        {"another user's file that is read-only to all, saved by root", nobody, nobody, 0444, false, Case::Root},
        {"another user's set-user-ID and set-group-ID program, saved by root", nobody, nobody, 06755, false,
         Case::Root},
        {"root's file that all may write, saved by nobody", 0, 0, 0666, false, Case::Nobody},
        {"nobody's set-user-ID file with a second link, saved by nobody", nobody, nobody, 04766, true, Case::Nobody},
    };
    ASSERT_EQ(chmod(QFile::encodeName(tmp_.path()).constData(), 0777), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (me != 0 && c.savedBy != Case::Me) {
            std::printf("skipped \"%s\": it needs the tests to run as root\n", c.name);
            continue;
        }
        const QString path = tmp_.filePath(QStringLiteral("doc.txt"));
        const QString link = tmp_.filePath(QStringLiteral("other name.txt"));
        QFile::remove(path);
        QFile::remove(link);
        testsupport::writeBytes(path, "old text\n");
        const QByteArray name = QFile::encodeName(path);
        ASSERT_EQ(chown(name.constData(), c.owner, c.group), 0);
        ASSERT_EQ(chmod(name.constData(), c.mode), 0);
        if (c.hardLink) {
            ASSERT_EQ(::link(name.constData(), QFile::encodeName(link).constData()), 0);
        }
        const FileIdentity before = FileIdentity::of(path);

        auto save = [&] {
            auto out = gui::TextOutputStream::Create(gui::FolderItem::fromPath(path));
            if (!out)
                return 1;
            out->Write(QStringLiteral("new text\n"));
            return out->Close() ? 0 : 2;
        };
        EXPECT_EQ(c.savedBy == Case::Nobody ? testsupport::runUnprivileged(save) : save(), 0);

        const FileIdentity after = FileIdentity::of(path);
        EXPECT_EQ(after.owner, before.owner) << after;
        EXPECT_EQ(after.group, before.group) << after;
        EXPECT_EQ(after.mode, before.mode) << after;
        EXPECT_EQ(after.links, before.links) << after;
        EXPECT_EQ(testsupport::readBytes(path), "new text\n");
        if (c.hardLink) {
            EXPECT_EQ(FileIdentity::of(link).inode, after.inode) << "the other name still names the file";
            EXPECT_EQ(testsupport::readBytes(link), "new text\n");
        }
        EXPECT_EQ(entries().size(), c.hardLink ? 2 : 1) << "no temporary file is left";
    }
}

// Seeded rounds of an old file and new bytes about a file-size limit, each
// saved by an unprivileged user: replaced by a new file, or written in place
// because its folder is read-only, it has a second link, or it is root's. The
// model: the save succeeds exactly when the new bytes fit under the limit;
// then the file holds them, else it holds its old bytes and the save says why.
// Either way the file keeps its names, owner and mode, and nothing is left
// beside it.
TEST_F(TextStreams, EverySaveEndsWithTheNewBytesOrTheOldOnesAndSaysWhich)
{
    constexpr rlim_t kLimit = 3000;
    constexpr int kRounds = 240;
    const bool root = geteuid() == 0;
    std::mt19937 random(20261211);
    auto bytes = [&random](qsizetype size) {
        QByteArray b(size, '\0');
        for (char& c : b)
            c = static_cast<char>(random() % 256);
        return b;
    };
    struct Round {
        QString path;
        QString link;  ///< a second hard link, or empty
        QByteArray old;
        QByteArray next;
        int chunks;
        FileIdentity before;
    };
    const QString open = tmp_.filePath(QStringLiteral("open"));
    const QString shut = tmp_.filePath(QStringLiteral("shut"));
    ASSERT_TRUE(QDir().mkpath(open));
    ASSERT_TRUE(QDir().mkpath(shut));
    std::vector<Round> rounds;
    for (int i = 0; i < kRounds; ++i) {
        Round r;
        r.path = (random() % 2 ? shut : open) + QStringLiteral("/doc%1").arg(i);
        r.old = bytes(random() % (kLimit + 1));
        r.next = bytes(random() % (2 * kLimit + 1));
        r.chunks = 1 + random() % 4;
        testsupport::writeBytes(r.path, r.old);
        const QByteArray name = QFile::encodeName(r.path);
        ASSERT_EQ(chmod(name.constData(), 0666), 0);
        // Root's file stays root's: nobody may not give it that owner.
        if (root && random() % 3 != 0) {
            ASSERT_EQ(chown(name.constData(), testsupport::kUnprivilegedId, testsupport::kUnprivilegedId), 0);
        }
        if (random() % 3 == 0) {
            r.link = r.path + QStringLiteral(".link");
            ASSERT_EQ(::link(name.constData(), QFile::encodeName(r.link).constData()), 0);
        }
        r.before = FileIdentity::of(r.path);
        rounds.push_back(r);
    }
    const QStringList openEntries = QDir(open).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    const QStringList shutEntries = QDir(shut).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& folder : {tmp_.path(), open})
        ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0777), 0);
    ASSERT_EQ(chmod(QFile::encodeName(shut).constData(), 0555), 0);

    const testsupport::ChildReport report = testsupport::reportFromChild(
        [] { return testsupport::withFileSizeLimitAsUnprivilegedUser(kLimit); },
        [&] {
            QStringList results;
            for (const Round& r : rounds) {
                QString why;
                auto out = gui::TextOutputStream::Create(gui::FolderItem::fromPath(r.path), &why);
                if (!out) {
                    results << QStringLiteral("no stream: ") + why;
                    continue;
                }
                // In pieces cut anywhere, each decoded on its own.
                const qsizetype piece = r.next.size() / r.chunks + 1;
                for (qsizetype at = 0; at < r.next.size(); at += piece)
                    out->Write(gui::decodeText(r.next.mid(at, piece)));
                results << (out->Close() ? QStringLiteral("written") : QStringLiteral("failed: ") + out->errorString());
            }
            return results.join(u'\n');
        });
    ASSERT_EQ(chmod(QFile::encodeName(shut).constData(), 0777), 0);
    ASSERT_NE(report.status, testsupport::kNotUnprivileged) << "could not become an unprivileged user";
    EXPECT_EQ(report.status, 0);

    const QStringList results = report.text.split(u'\n');
    ASSERT_EQ(results.size(), kRounds);
    for (int i = 0; i < kRounds; ++i) {
        const Round& r = rounds[i];
        SCOPED_TRACE(QStringLiteral("round %1: %2 old bytes, %3 new, in %4%5")
                         .arg(i)
                         .arg(r.old.size())
                         .arg(r.next.size())
                         .arg(r.path.startsWith(shut) ? QStringLiteral("a read-only folder") : QStringLiteral("a folder"))
                         .arg(r.link.isEmpty() ? QString() : QStringLiteral(", linked"))
                         .toStdString());
        const bool fits = r.next.size() <= static_cast<qsizetype>(kLimit);
        EXPECT_EQ(results[i], fits ? QStringLiteral("written") : QStringLiteral("failed: File too large"));
        const QByteArray expected = fits ? r.next : r.old;
        EXPECT_TRUE(testsupport::readBytes(r.path) == expected) << "the file holds neither what the model says";
        if (!r.link.isEmpty()) {
            EXPECT_TRUE(testsupport::readBytes(r.link) == expected) << "the other name holds something else";
        }
        const FileIdentity after = FileIdentity::of(r.path);
        EXPECT_EQ(after.owner, r.before.owner);
        EXPECT_EQ(after.mode, r.before.mode);
        EXPECT_EQ(after.links, r.before.links);
    }
    EXPECT_EQ(QDir(open).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), openEntries);
    EXPECT_EQ(QDir(shut).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), shutEntries);
}

TEST_F(TextStreams, AFileSizeLimitFailsTheSaveInsteadOfEndingTheApplication)
{
    const gui::FolderItemPtr file = fileWith("old text\n");
    const testsupport::ChildReport report = testsupport::reportFromChild(
        [] {
            const rlimit limit{1000, 1000};
            std::signal(SIGXFSZ, SIG_DFL);
            return setrlimit(RLIMIT_FSIZE, &limit) == 0 ? 0 : 255;
        },
        [&] {
            const gui::Application application;
            auto out = gui::TextOutputStream::Create(file);
            if (!out)
                return QStringLiteral("no stream");
            out->Write(QString(5000, u'x'));
            return out->Close() ? QStringLiteral("written") : out->errorString();
        });
    EXPECT_EQ(report.status, 0) << "the signal ended the application";
    EXPECT_EQ(report.text, QStringLiteral("File too large"));
    EXPECT_EQ(testsupport::readBytes(file->path()), "old text\n");
}
