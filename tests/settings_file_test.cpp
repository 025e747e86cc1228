// The settings file: what WriteSetting writes from the tool folders, what
// ReadSetting makes of any text found in the file, and that a failed write
// leaves the previous file whole.

#include "app/gui/folder_item.h"
#include "settings/settings_file.h"
#include "settings/tool_folders.h"
#include "tests/test_support.h"
#include "tests/write_failure.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cctype>
#include <random>

#include <sys/stat.h>

namespace {

using Module1::gArmNoneFolder;
using Module1::gPythonFolder;
using Module1::gSettingFile;
using Module1::gTarnwickFolder;

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        gSettingFile = gui::FolderItem::fromPath(path(QStringLiteral("twk.txt")));
    }

    void TearDown() override
    {
        testsupport::unsetToolFolders();
    }

    QString path(const QString& relative) const { return dir_.filePath(relative); }

    /// A folder under the temporary folder, made on disk.
    gui::FolderItemPtr folder(const QString& relative) const { return testsupport::makeFolder(path(relative)); }

    QByteArray settingBytes() const { return testsupport::readBytes(gSettingFile->path()); }
    void writeSettingBytes(const QByteArray& bytes) const { testsupport::writeBytes(gSettingFile->path(), bytes); }

    /// What a global holds, relative to the temporary folder; "unset" when null.
    QString held(const gui::FolderItemPtr& global) const
    {
        return global ? QDir(dir_.path()).relativeFilePath(global->path()) : QStringLiteral("unset");
    }

    QTemporaryDir dir_;
};

TEST_F(SettingsFile, WorkedExampleIsWrittenAndReadBack)
{
    gArmNoneFolder = folder(QStringLiteral("arm-cs-tools/bin"));
    gTarnwickFolder = folder(QStringLiteral("conv"));

    Module1::WriteSetting();

    const QByteArray root = dir_.path().toUtf8();
    EXPECT_EQ(settingBytes(), "ArmNoneFolder=>" + root + "/arm-cs-tools/bin\nTarnwickFolder=>" + root + "/conv\n");

    gArmNoneFolder.reset();
    gTarnwickFolder.reset();
    const gui::FolderItemPtr python = folder(QStringLiteral("python"));
    gPythonFolder = python;
    Module1::ReadSetting();
    EXPECT_EQ(held(gArmNoneFolder), QStringLiteral("arm-cs-tools/bin"));
    EXPECT_EQ(held(gTarnwickFolder), QStringLiteral("conv"));
    EXPECT_EQ(gPythonFolder, python) << "a key the file does not hold leaves its folder alone";
}

TEST_F(SettingsFile, WritingKeepsOnlyFoldersThatAreSetAndExist)
{
    gTarnwickFolder = folder(QStringLiteral("conv"));
    gPythonFolder = folder(QStringLiteral("python"));
    gArmNoneFolder = gui::FolderItem::fromPath(path(QStringLiteral("vanished")));
    writeSettingBytes("ArmNoneFolder=>/old\nOther=>kept by hand\n");

    Module1::WriteSetting();

    const QByteArray root = dir_.path().toUtf8();
    EXPECT_EQ(settingBytes(), "TarnwickFolder=>" + root + "/conv\nPythonFolder=>" + root + "/python\n")
        << "the whole file is replaced; a missing folder writes no line";
    EXPECT_EQ(held(gArmNoneFolder), QStringLiteral("vanished")) << "writing changes no global";
}

TEST_F(SettingsFile, WritingWithNoFolderLeavesAnEmptyFile)
{
    writeSettingBytes("TarnwickFolder=>/somewhere\n");
    Module1::WriteSetting();
    EXPECT_TRUE(QFileInfo::exists(gSettingFile->path()));
    EXPECT_EQ(settingBytes(), QByteArray());
}

TEST_F(SettingsFile, HostileFolderNamesReadBackAsWritten)
{
    const QString names[] = {
        QStringLiteral("with blank"),      QStringLiteral("it's quoted"),  QStringLiteral("dollar $HOME"),
        QStringLiteral("back`tick`"),      QStringLiteral("back\\slash"),  QStringLiteral("semi;colon & amp"),
        QStringLiteral("Ünïcödé ドキュメント"), QStringLiteral("equals=greater>"), QStringLiteral("\"double\""),
    };
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const gui::FolderItemPtr written = folder(name + QStringLiteral("/bin"));
        gArmNoneFolder = written;
        Module1::WriteSetting();
        gArmNoneFolder.reset();
        Module1::ReadSetting();
        ASSERT_TRUE(gArmNoneFolder);
        EXPECT_EQ(gArmNoneFolder->path(), written->path());
    }
}

TEST_F(SettingsFile, FolderThatWouldNotReadBackIsLeftOutAndNamed)
{
    // Each name, written and read back, would otherwise give an entry of its
    // own, or a folder cut at the break or at its "=>": "conv", which exists.
    const gui::FolderItemPtr python = folder(QStringLiteral("python"));
    const gui::FolderItemPtr gcc = folder(QStringLiteral("gcc"));
    QStringList names = {QStringLiteral("conv=>x"), QStringLiteral("conv=>")};
    for (const QString& lineBreak : {QStringLiteral("\n"), QStringLiteral("\r"), QStringLiteral("\r\n")})
        names << QStringLiteral("x") + lineBreak + QStringLiteral("PythonFolder=>") + python->path()
              << QStringLiteral("conv") + lineBreak + QStringLiteral("x");
    for (const QString& name : names) {
        SCOPED_TRACE(
            QString(name).replace(u'\r', QLatin1String("<CR>")).replace(u'\n', QLatin1String("<LF>")).toStdString());
        folder(QStringLiteral("conv"));
        const gui::FolderItemPtr odd = folder(name);
        gTarnwickFolder = odd;
        gArmNoneFolder = gcc;
        gPythonFolder.reset();

        const Module1::SettingWritten written = Module1::WriteSetting();
        EXPECT_FALSE(written.keptAll());
        EXPECT_EQ(written.whyNotWritten, QString()) << "the file itself was written";
        ASSERT_EQ(written.leftOut.size(), 1u);
        EXPECT_EQ(written.leftOut[0].role, QStringLiteral("tarnwick.py folder"));
        EXPECT_EQ(written.leftOut[0].folder, odd);
        EXPECT_EQ(gTarnwickFolder, odd) << "the folder stays in effect for this run";
        EXPECT_EQ(settingBytes(), ("ArmNoneFolder=>" + gcc->ShellPath() + "\n").toUtf8())
            << "the other folders are kept";

        gTarnwickFolder.reset();
        gArmNoneFolder.reset();
        Module1::ReadSetting();
        EXPECT_EQ(gTarnwickFolder, nullptr);
        EXPECT_EQ(gPythonFolder, nullptr);
        ASSERT_TRUE(gArmNoneFolder);
        EXPECT_EQ(gArmNoneFolder->path(), gcc->path());
    }
}

TEST_F(SettingsFile, WriteSaysWhyTheFileCouldNotBeWritten)
{
    gTarnwickFolder = folder(QStringLiteral("conv"));
    gArmNoneFolder = folder(QStringLiteral("gcc\nbin"));
    Module1::SettingWritten written = Module1::WriteSetting();
    EXPECT_EQ(written.whyNotWritten, QString());
    EXPECT_EQ(written.leftOut.size(), 1u);

    gArmNoneFolder.reset();
    written = Module1::WriteSetting();
    EXPECT_TRUE(written.keptAll());
    EXPECT_EQ(written.whyNotWritten, QString());
    EXPECT_TRUE(written.leftOut.empty());

    gArmNoneFolder = folder(QStringLiteral("gcc\nbin"));
    gSettingFile = gui::FolderItem::fromPath(path(QStringLiteral("missing folder/twk.txt")));
    written = Module1::WriteSetting();
    EXPECT_FALSE(written.keptAll());
    EXPECT_EQ(written.whyNotWritten, QStringLiteral("No such file or directory"));
    EXPECT_TRUE(written.leftOut.empty()) << "no file was written to leave a folder out of";
}

// The folders are named in UTF-8 on disk, as the system names them; a line
// names one in UTF-8, or in Latin-1 when an editor saved it so, whatever a
// note after a second "=>" is in.
struct EncodingCase {
    const char* name;
    // The file's bytes; %1 stands for the temporary folder.
    const char* bytes;
    QString tarnwick;
    QString arm;
    QString python;
    // The file that WriteSetting then writes; %1 as above.
    const char* rewritten;
};

const EncodingCase kEncodingCases[] = {
    {"LatinOneScriptFolderRightAfterTheByteOrderMark",
     "\xef\xbb\xbf"
     "TarnwickFolder=>%1/caf\xe9\n"
     "ArmNoneFolder=>%1/\xe6\x97\xa5\xff\n"  // UTF-8 with a stray byte: in Latin-1 it names nothing
     "PythonFolder=>%1/\xc3\xa9t\xc3\xa9\n",
     "café", "unset", "été",
     "TarnwickFolder=>'%1/caf\xc3\xa9'\nPythonFolder=>'%1/\xc3\xa9t\xc3\xa9'\n"},
    {"LatinOnePythonFolderAmongUtf8Lines",
     "\xef\xbb\xbf"
     "ArmNoneFolder=>%1/caf\xc3\xa9\n"
     "Note\xff: caf\xe9\n"
     "PythonFolder=>%1/caf\xe9\r\n"
     "TarnwickFolder=>%1/\xc3\xa9t\xc3\xa9",
     "été", "café", "café",
     "ArmNoneFolder=>'%1/caf\xc3\xa9'\nTarnwickFolder=>'%1/\xc3\xa9t\xc3\xa9'\nPythonFolder=>'%1/caf\xc3\xa9'\n"},
    {"StrayByteUnsetsOnlyItsOwnLinesFolder",
     "TarnwickFolder=>%1/\xc3\xa9t\xc3\xa9\xe9\n"
     "ArmNoneFolder=>%1/\xc3\xa9t\xc3\xa9\n",
     "unset", "été", "unset",
     "ArmNoneFolder=>'%1/\xc3\xa9t\xc3\xa9'\n"},
    {"NoteAfterTheFolderLeavesItsReadingAlone",
     "TarnwickFolder=>%1/Jos\xc3\xa9=>caf\xe9\n"
     "PythonFolder=>%1/caf\xe9=>Jos\xc3\xa9\n"
     "ArmNoneFolder=>%1/\xef\xbf\xbd=>\xe9\n",  // U+FFFD spelt out is valid UTF-8
     "José", "\uFFFD", "café",
     "ArmNoneFolder=>'%1/\xef\xbf\xbd'\nTarnwickFolder=>'%1/Jos\xc3\xa9'\nPythonFolder=>'%1/caf\xc3\xa9'\n"},
};

// Test names and failures show the case by its name.
void PrintTo(const EncodingCase& c, std::ostream* os) { *os << c.name; }

class SettingsFileEncoding : public SettingsFile, public ::testing::WithParamInterface<EncodingCase> {};

TEST_P(SettingsFileEncoding, EachFolderReadsOnItsOwnBytesAndTheFileIsWrittenInUtf8)
{
    const EncodingCase& c = GetParam();
    const QByteArray root = dir_.path().toUtf8();
    // Latin-1 lines hold the temporary folder's bytes as they stand.
    ASSERT_EQ(QString::fromLatin1(root), dir_.path());
    folder(QStringLiteral("café"));
    folder(QStringLiteral("été"));
    folder(QStringLiteral("日"));  // so that a reading that dropped the stray byte would find it
    folder(QStringLiteral("José"));
    folder(QString(QChar::ReplacementCharacter));
    gTarnwickFolder = folder(QStringLiteral("conv"));
    gArmNoneFolder = folder(QStringLiteral("arm/bin"));
    writeSettingBytes(QByteArray(c.bytes).replace("%1", root));

    Module1::ReadSetting();

    EXPECT_EQ(held(gTarnwickFolder), c.tarnwick);
    EXPECT_EQ(held(gArmNoneFolder), c.arm);
    EXPECT_EQ(held(gPythonFolder), c.python);

    EXPECT_TRUE(Module1::WriteSetting().keptAll());
    EXPECT_EQ(settingBytes(), QByteArray(c.rewritten).replace("%1", root));
}

INSTANTIATE_TEST_SUITE_P(Settings, SettingsFileEncoding, ::testing::ValuesIn(kEncodingCases),
                         [](const ::testing::TestParamInfo<EncodingCase>& info) {
                             return std::string(info.param.name);
                         });

struct ReadCase {
    const char* name;
    // The file's text; %1 stands for the temporary folder.
    const char* text;
    QString tarnwick;
    QString arm;
    QString python;
};

// Before each read the discovery has found conv and arm/bin; other and
// python exist too; gone does not.
const ReadCase kReadCases[] = {
    {"empty file is one empty line matching nothing", "", "conv", "arm/bin", "unset"},
    {"later line decides", "TarnwickFolder=>%1/conv\nTarnwickFolder=>%1/other\n", "other", "arm/bin", "unset"},
    {"later line naming a missing folder unsets", "TarnwickFolder=>%1/other\nTarnwickFolder=>%1/gone\n", "unset",
     "arm/bin", "unset"},
    {"text after a second => is dropped", "TarnwickFolder=>%1/other=>%1/gone\n", "other", "arm/bin", "unset"},
    {"line without => is ignored", "%1/other\nTarnwickFolder %1/other\n", "conv", "arm/bin", "unset"},
    {"bare key builds from the empty path", "TarnwickFolder\n", "unset", "arm/bin", "unset"},
    {"key with empty value", "ArmNoneFolder=>\n", "conv", "unset", "unset"},
    {"blank before the key matches nothing", " TarnwickFolder=>%1/other\n", "conv", "arm/bin", "unset"},
    {"blank after the path is part of it", "TarnwickFolder=>%1/other \n", "unset", "arm/bin", "unset"},
    {"unknown keys are ignored", "Tarnwick=>%1/other\nArmFolder=>%1/gone\n", "conv", "arm/bin", "unset"},
    {"python line sets the python folder", "PythonFolder=>%1/python\n", "conv", "arm/bin", "python"},
    {"missing folder unsets a discovered one", "ArmNoneFolder=>%1/gone\n", "conv", "unset", "unset"},
    {"CRLF line ends", "ArmNoneFolder=>%1/other\r\nTarnwickFolder=>%1/python\r\n", "python", "other", "unset"},
    {"CR line ends", "ArmNoneFolder=>%1/other\rTarnwickFolder=>%1/python\r", "python", "other", "unset"},
    {"last line without a line end", "TarnwickFolder=>%1/other", "other", "arm/bin", "unset"},
    {"blank lines between entries", "\n\nTarnwickFolder=>%1/other\n\n", "other", "arm/bin", "unset"},
    {"keys match whatever their letter case", "tarnwickfolder=>%1/other\nARMNONEFOLDER=>%1/python\n", "other",
     "python", "unset"},
    {"quoted shell path", "TarnwickFolder=>'%1/with blank'\n", "with blank", "arm/bin", "unset"},
    {"relative path names nothing", "TarnwickFolder=>other\n", "unset", "arm/bin", "unset"},
    {"byte-order mark before the first entry", "\xef\xbb\xbfTarnwickFolder=>%1/other\n", "other", "arm/bin", "unset"},
    {"stray byte on one line leaves the others", "ArmNoneFolder=>%1/caf\xe9\nTarnwickFolder=>%1/\xe6\x97\xa5\n",
     "\xe6\x97\xa5", "unset", "unset"},
};

// Test names and failures show the case by its name.
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class SettingsFileReading : public SettingsFile, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(SettingsFileReading, SetsTheFoldersTheFileNames)
{
    const ReadCase& c = GetParam();
    for (const char* name : {"other", "python", "with blank", "\xe6\x97\xa5"})
        folder(QString::fromUtf8(name));
    gTarnwickFolder = folder(QStringLiteral("conv"));
    gArmNoneFolder = folder(QStringLiteral("arm/bin"));
    writeSettingBytes(QByteArray(c.text).replace("%1", dir_.path().toUtf8()));

    Module1::ReadSetting();

    EXPECT_EQ(held(gTarnwickFolder), c.tarnwick);
    EXPECT_EQ(held(gArmNoneFolder), c.arm);
    EXPECT_EQ(held(gPythonFolder), c.python);
}

INSTANTIATE_TEST_SUITE_P(Settings, SettingsFileReading, ::testing::ValuesIn(kReadCases),
                         [](const ::testing::TestParamInfo<ReadCase>& info) {
                             std::string name;
                             bool upper = true;
                             for (const char* p = info.param.name; *p; ++p) {
                                 if (!std::isalnum(static_cast<unsigned char>(*p))) {
                                     upper = true;
                                     continue;
                                 }
                                 name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(*p))) : *p;
                                 upper = false;
                             }
                             return name;
                         });

TEST_F(SettingsFile, WithoutAReadableFileNothingChanges)
{
    const gui::FolderItemPtr conv = folder(QStringLiteral("conv"));
    gTarnwickFolder = conv;

    Module1::ReadSetting();
    EXPECT_EQ(gTarnwickFolder, conv) << "no file";

    folder(QStringLiteral("twk.txt"));
    Module1::ReadSetting();
    EXPECT_EQ(gTarnwickFolder, conv) << "a folder where the file should be";
}

TEST_F(SettingsFile, UnwritablePlaceChangesNothing)
{
    gSettingFile = gui::FolderItem::fromPath(path(QStringLiteral("missing folder/twk.txt")));
    const gui::FolderItemPtr conv = folder(QStringLiteral("conv"));
    gTarnwickFolder = conv;

    Module1::WriteSetting();

    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("missing folder"))));
    EXPECT_EQ(gTarnwickFolder, conv);
}

TEST_F(SettingsFile, FailedWriteLeavesThePreviousFileWhole)
{
    const QByteArray previous = "TarnwickFolder=>/previous/folder\n";
    // Longer than the limit, so the disk takes only part of the new file.
    gTarnwickFolder = folder(QString(60, u'c'));
    gArmNoneFolder = folder(QString(60, u'a'));
    // A written file would leave this one out; as nothing is written, it is not named.
    gPythonFolder = folder(QStringLiteral("py\nthon"));
    ASSERT_EQ(chmod(QFile::encodeName(dir_.path()).constData(), 0755), 0);

    const struct {
        const char* name;
        QString folder;
        bool unprivileged;
    } cases[] = {
        {"replaced by a new file", QStringLiteral("prefs"), false},
        // No new file may be made there, so the file is written in place.
        {"in a folder the user may not write", QStringLiteral("read-only prefs"), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        gSettingFile = gui::FolderItem::fromPath(path(c.folder + QStringLiteral("/twk.txt")));
        writeSettingBytes(previous);
        const QByteArray prefs = QFile::encodeName(path(c.folder));
        ASSERT_EQ(chmod(QFile::encodeName(gSettingFile->path()).constData(), 0666), 0);
        ASSERT_EQ(chmod(prefs.constData(), c.unprivileged ? 0555 : 0777), 0);

        const testsupport::ChildReport report = testsupport::reportFromChild(
            [&c] {
                return c.unprivileged ? testsupport::withFileSizeLimitAsUnprivilegedUser(40)
                                      : testsupport::withFileSizeLimit(40);
            },
            [] {
                const Module1::SettingWritten written = Module1::WriteSetting();
                return QLatin1String(written.keptAll() ? "kept" : "not kept") + u'|' + written.whyNotWritten + u'|'
                       + QString::number(written.leftOut.size());
            });
        ASSERT_EQ(chmod(prefs.constData(), 0777), 0);

        EXPECT_EQ(report.status, 0);
        EXPECT_EQ(report.text, QStringLiteral("not kept|File too large|0"));
        EXPECT_EQ(settingBytes(), previous);
        EXPECT_EQ(QDir(path(c.folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList{QStringLiteral("twk.txt")})
            << "no temporary file is left";
    }
}

// A settings file that is not a plain file is one that cannot be read: start-up
// goes on at once with the folders it has. And none is replaced by a file.
TEST_F(SettingsFile, ReadingWhatIsNotAPlainFileChangesNothingAtOnce)
{
    using testsupport::Node;
    const struct {
        const char* name;
        testsupport::PlaceMaker make;
    } cases[] = {
        {"named pipe", testsupport::nodeMaker(Node::NamedPipe)},
        {"link to a zero device", testsupport::nodeBehindLinkMaker(Node::ZeroDevice)},
        {"socket", testsupport::nodeMaker(Node::Socket)},
        {"file over the limit", testsupport::tooLargeFileMaker()},
    };
    gTarnwickFolder = folder(QStringLiteral("conv"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(gSettingFile->path());
        if (!c.make(gSettingFile->path()))
            continue;
        const testsupport::ChildReport report = testsupport::reportFromChild(testsupport::withinBounds, [this] {
            Module1::ReadSetting();
            return held(gTarnwickFolder) + u' ' + held(gArmNoneFolder) + u' ' + held(gPythonFolder);
        });
        EXPECT_EQ(report.status, 0) << "the child blocked, ran out of memory or crashed";
        EXPECT_EQ(report.text, QStringLiteral("conv unset unset"));
    }
}

TEST_F(SettingsFile, WritingOverAPipeOrADeviceSaysWhyAndLeavesIt)
{
    using testsupport::Node;
    const struct {
        const char* name;
        testsupport::PlaceMaker make;
        QString reason;
    } cases[] = {
        {"named pipe", testsupport::nodeMaker(Node::NamedPipe),
         QStringLiteral("It is a named pipe (FIFO), not a plain file")},
        {"link to a null device", testsupport::nodeBehindLinkMaker(Node::NullDevice),
         QStringLiteral("It is a device, not a plain file")},
    };
    gTarnwickFolder = folder(QStringLiteral("conv"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(gSettingFile->path());
        QFile::remove(gSettingFile->path() + QStringLiteral(".target"));
        if (!c.make(gSettingFile->path()))
            continue;
        const QString before = testsupport::nodeAt(gSettingFile->path());
        const QString target = testsupport::nodeAt(gSettingFile->path() + QStringLiteral(".target"));
        const Module1::SettingWritten written = Module1::WriteSetting();
        EXPECT_EQ(written.whyNotWritten, c.reason);
        EXPECT_EQ(testsupport::nodeAt(gSettingFile->path()), before);
        EXPECT_EQ(testsupport::nodeAt(gSettingFile->path() + QStringLiteral(".target")), target);
    }
}

// Arbitrary bytes in the file never crash reading, and every folder that
// reading leaves set exists.
TEST_F(SettingsFile, ArbitraryBytesAreReadSafely)
{
    folder(QStringLiteral("conv"));
    const QByteArray pieces[] = {
        "TarnwickFolder", "ArmNoneFolder", "PythonFolder", "=>", "=", ">", "\r", "\n", "\r\n", "'", "\"", "\\",
        "$", "`", " ", "/", dir_.path().toUtf8(), "/conv", "\xc3", "\xff", "\xef\xbb\xbf", QByteArray(1, '\0'),
    };
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> pieceCount(0, 40);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces));
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 1500; ++round) {
        QByteArray bytes;
        const int count = pieceCount(random);
        for (int i = 0; i < count; ++i) {
            const std::size_t p = pick(random);
            bytes += p < std::size(pieces) ? pieces[p] : QByteArray(1, static_cast<char>(byte(random)));
        }
        writeSettingBytes(bytes);
        Module1::ReadSetting();
        for (const gui::FolderItemPtr* global : {&gTarnwickFolder, &gArmNoneFolder, &gPythonFolder}) {
            if (*global) {
                ASSERT_TRUE((*global)->Exists()) << "round " << round << ": " << bytes.toHex().constData();
            }
        }
    }
}

}  // namespace
