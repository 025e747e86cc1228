// The Convert run of a converter window, against stand-in tools: small shell
// scripts named like the compiler, objcopy and python that record their
// arguments, make (or don't make) their output file and end with a chosen status.

#include "converter/twk_win.h"
#include "settings/set_win.h"
#include "settings/tool_folders.h"

#include "app/gui/folder_item.h"
#include "app/gui/runtime.h"
#include "app/gui/text_codec.h"
#include "tests/test_support.h"
#include "tests/write_failure.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <functional>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using testsupport::readBytes;
using testsupport::writeBytes;

const QString kBase = QStringLiteral("3716541234");
const QString kGcc = QStringLiteral("arm-none-eabi-gcc");
const QString kObjcopy = QStringLiteral("arm-none-eabi-objcopy");
const QString kPython = QStringLiteral("python");
// What the stand-in script "writes"; non-ASCII to show the file is read as UTF-8.
const QByteArray kBasic = "100 REM LOAD 4 BYTES AT &H700\n110 DATA &H70,&H47,&H00,&HBF\n120 REM \xC3\xBC\n";

enum class Output { File, None, Folder };

/// What one stand-in tool does when it is run.
struct Tool {
    int status = 0;
    Output output = Output::File;
    QByteArray stdoutText = {};  ///< written first
    QByteArray stderrText = {};  ///< written after stdoutText
    bool killed = false;      ///< ends by SIGKILL to itself instead of exit
};

class ConversionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root_.isValid());
        // The expected command lines below name these folders unquoted.
        ASSERT_TRUE(gui::isSafeShellWord(root_.path())) << qPrintable(root_.path());
        logDir_ = root_.filePath(QStringLiteral("log"));
        armDir_ = root_.filePath(QStringLiteral("arm/bin"));
        pyDir_ = root_.filePath(QStringLiteral("py"));
        cwd_ = root_.filePath(QStringLiteral("cwd"));
        for (const QString& dir : {logDir_, armDir_, pyDir_, cwd_})
            ASSERT_TRUE(QDir().mkpath(dir));
        useScriptFolder(root_.filePath(QStringLiteral("conv")));
        setTool(kGcc, {});
        setTool(kObjcopy, {});
        setTool(kPython, {});
        writeBytes(logDir_ + u'/' + kPython + QStringLiteral(".output"), kBasic);
        Module1::gArmNoneFolder = gui::FolderItem::fromPath(armDir_);
        Module1::gPythonFolder = gui::FolderItem::fromPath(pyDir_);

        gui::Date::setClockForTesting([] { return 3716541234.0; });
        gui::setBeepHandlerForTesting([this] { ++beeps_; });
        // A command that the shell ran by mistake would drop its PWNED here.
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(cwd_);
        oldPath_ = qgetenv("PATH");

        window_ = gui::Window::make<TWKWin>();
        window_->bEF()->setText(QStringLiteral("BASIC of an earlier run"));
        window_->rEF()->setText(QStringLiteral("log of an earlier run\n"));
    }

    void TearDown() override
    {
        testsupport::closeAllWindows();
        gui::Date::setClockForTesting({});
        gui::setBeepHandlerForTesting({});
        testsupport::unsetToolFolders();
        QDir::setCurrent(oldCwd_);
        qputenv("PATH", oldPath_);
    }

    void useScriptFolder(const QString& path)
    {
        script_ = path;
        ASSERT_TRUE(QDir().mkpath(script_));
        Module1::gTarnwickFolder = gui::FolderItem::fromPath(script_);
    }

    /// Puts a folder in front of the shell's search path.
    void prependToPath(const QString& dir) { qputenv("PATH", QFile::encodeName(dir) + ':' + qgetenv("PATH")); }

    /// (Re)writes the stand-in tool `name` in the folder of its kind.
    void setTool(const QString& name, const Tool& tool)
    {
        const QByteArray log = "'" + QFile::encodeName(logDir_) + "/" + name.toUtf8();
        QByteArray body = "for a in \"$@\"; do printf '[%s]\\n' \"$a\" >> " + log + ".args'; done\n"
                          "echo end >> " + log + ".args'\n"
                          "for a in \"$@\"; do last=$a; done\n";
        if (name == kGcc) {
            // The compiler names its output after -o and its source last.
            body += "prev=; for a in \"$@\"; do [ \"$prev\" = -o ] && out=$a; prev=$a; done\n"
                    "cp \"$last\" " + log + ".input'\n";
        } else {
            body += "out=$last\n";
        }
        if (tool.output == Output::File)
            body += name == kPython ? "cat " + log + ".output' > \"$out\"\n" : "printf 'made by " + name.toUtf8() + "' > \"$out\"\n";
        else if (tool.output == Output::Folder)
            body += "mkdir \"$out\"\n";
        writeBytes(logDir_ + u'/' + name + QStringLiteral(".stdout"), tool.stdoutText);
        writeBytes(logDir_ + u'/' + name + QStringLiteral(".stderr"), tool.stderrText);
        body += "cat " + log + ".stdout'\ncat " + log + ".stderr' >&2\n";
        body += tool.killed ? QByteArray("kill -9 $$\n") : "exit " + QByteArray::number(tool.status) + "\n";
        const QString dir = name == kPython ? pyDir_ : armDir_;
        testsupport::writeScript(dir + u'/' + name, body);
    }

    /// The argument lists of each run of the tool, in order.
    QList<QStringList> runsOf(const QString& name) const
    {
        QList<QStringList> runs;
        QStringList current;
        const QString text = QString::fromUtf8(readBytes(logDir_ + u'/' + name + QStringLiteral(".args")));
        for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
            if (line == QLatin1String("end")) {
                runs.append(current);
                current.clear();
            } else if (line.startsWith(u'[') && line.endsWith(u']')) {
                current.append(line.mid(1, line.size() - 2));
            } else {
                ADD_FAILURE() << "unexpected line in the argument log: " << qPrintable(line);
            }
        }
        EXPECT_TRUE(current.isEmpty());
        return runs;
    }

    void convert() { window_->PushButton1_Action(window_->PushButton1()); }

    QString file(const QString& extension) const { return script_ + u'/' + kBase + extension; }

    /// Whatever is in the conversion-script folder, by name.
    QStringList leftovers() const
    {
        return QDir(script_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                       QDir::Name);
    }

    /// Every PWNED file anywhere under the test's folders.
    QStringList pwned() const
    {
        QStringList found;
        QDirIterator it(root_.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (it.fileName() == QLatin1String("PWNED"))
                found << path;
        }
        return found;
    }

    QString compileLine(const QString& compilerPrefix) const
    {
        return compilerPrefix + QStringLiteral("arm-none-eabi-gcc -c -mthumb -mlittle-endian -mno-unaligned-access -Os -o ")
               + script_ + QStringLiteral("/3716541234.o -c ") + script_ + QStringLiteral("/3716541234.c");
    }
    QString extractLine(const QString& compilerPrefix) const
    {
        return compilerPrefix + QStringLiteral("arm-none-eabi-objcopy -O binary ") + script_
               + QStringLiteral("/3716541234.o ") + script_ + QStringLiteral("/3716541234.bin");
    }
    QString convertLine(const QString& pythonPrefix, const QString& options = QStringLiteral(
                                                         "-a 0x700 -s 100 -d 10 -o hex -c 8")) const
    {
        return pythonPrefix + QStringLiteral("python ") + script_ + QStringLiteral("/tarnwick.py ") + options
               + u' ' + script_ + QStringLiteral("/3716541234.bin ") + script_ + QStringLiteral("/3716541234.bas");
    }
    /// The three command log lines of a run with both folders set.
    QString threeLines() const
    {
        return u'>' + compileLine(armDir_ + u'/') + u'\n' + u'>' + extractLine(armDir_ + u'/') + u'\n' + u'>'
               + convertLine(pyDir_ + u'/') + u'\n';
    }

    QStringList gccArgs() const
    {
        return {QStringLiteral("-c"), QStringLiteral("-mthumb"), QStringLiteral("-mlittle-endian"),
                QStringLiteral("-mno-unaligned-access"), QStringLiteral("-Os"), QStringLiteral("-o"),
                file(QStringLiteral(".o")), QStringLiteral("-c"), file(QStringLiteral(".c"))};
    }
    QStringList objcopyArgs() const
    {
        return {QStringLiteral("-O"), QStringLiteral("binary"), file(QStringLiteral(".o")), file(QStringLiteral(".bin"))};
    }
    QStringList pythonArgs(const QStringList& options = {QStringLiteral("0x700"), QStringLiteral("100"),
                                                         QStringLiteral("10"), QStringLiteral("hex"),
                                                         QStringLiteral("8")}) const
    {
        return {script_ + QStringLiteral("/tarnwick.py"), QStringLiteral("-a"), options[0], QStringLiteral("-s"),
                options[1], QStringLiteral("-d"), options[2], QStringLiteral("-o"), options[3],
                QStringLiteral("-c"), options[4], file(QStringLiteral(".bin")), file(QStringLiteral(".bas"))};
    }

    /// Sets all five option controls to one text; the pop-up menu gets it as a new row.
    void setAllOptions(const QString& text)
    {
        window_->aOpt()->setText(text);
        window_->sOpt()->setEditText(text);
        window_->dOpt()->setEditText(text);
        window_->oOpt()->addItem(text);
        window_->oOpt()->setCurrentIndex(window_->oOpt()->count() - 1);
        window_->cOpt()->setEditText(text);
    }

    /// The run ended before writing its .c file: nothing at all happened.
    void expectNothingHappened()
    {
        EXPECT_EQ(window_->rEF()->Text(), QStringLiteral("log of an earlier run\n"));
        EXPECT_EQ(window_->bEF()->Text(), QStringLiteral("BASIC of an earlier run"));
        EXPECT_TRUE(runsOf(kGcc).isEmpty());
        EXPECT_TRUE(runsOf(kObjcopy).isEmpty());
        EXPECT_TRUE(runsOf(kPython).isEmpty());
    }

    QTemporaryDir root_{QDir::tempPath() + QStringLiteral("/conversion-XXXXXX")};
    QString logDir_, armDir_, pyDir_, cwd_, script_, oldCwd_;
    QByteArray oldPath_;
    TWKWin* window_ = nullptr;
    int beeps_ = 0;
};

// ---- How a run can end ------------------------------------------------------

TEST_F(ConversionTest, FullSuccessShowsTheBasicTextLogsThreeLinesAndLeavesNoFile)
{
    window_->PushButton1()->click();

    EXPECT_EQ(window_->rEF()->Text(), threeLines());
    EXPECT_EQ(window_->bEF()->Text(), QString::fromUtf8(kBasic));
    EXPECT_EQ(leftovers(), QStringList());
    EXPECT_EQ(runsOf(kGcc), QList<QStringList>{gccArgs()});
    EXPECT_EQ(runsOf(kObjcopy), QList<QStringList>{objcopyArgs()});
    EXPECT_EQ(runsOf(kPython), QList<QStringList>{pythonArgs()});
    // The compiler was given the C area's text as it stands: no line end added.
    EXPECT_EQ(readBytes(logDir_ + QStringLiteral("/arm-none-eabi-gcc.input")), window_->cEF()->Text().toUtf8());
    EXPECT_EQ(beeps_, 0);
    EXPECT_EQ(gui::Window::findOpen<SetWin>(), nullptr);
}

TEST_F(ConversionTest, BytesThatAreNotUtf8PassThroughUnchanged)
{
    // The C text of a file in another encoding is compiled as it is, and the
    // script's BASIC bytes reach a saved .bas file as they are.
    const QByteArray c = "/* caf\xe9 \x93\xfa */\r\nint x;\rint y;\n";
    const QByteArray basic = "100 REM caf\xe9\r\n110 DATA \x93\xfa\r120 END \xe6\x97\xa5\xff\n";
    writeBytes(logDir_ + u'/' + kPython + QStringLiteral(".output"), basic);
    window_->cEF()->setText(gui::decodeText(c));

    convert();

    EXPECT_EQ(window_->rEF()->Text(), threeLines());
    EXPECT_EQ(readBytes(logDir_ + QStringLiteral("/arm-none-eabi-gcc.input")), c);
    window_->mBFile = gui::FolderItem::fromPath(root_.filePath(QStringLiteral("saved.bas")));
    window_->SaveBASIC();
    EXPECT_EQ(readBytes(root_.filePath(QStringLiteral("saved.bas"))), basic);
}

struct FailedRun {
    const char* name;
    Tool gcc, objcopy, python;
    int linesLogged;        ///< command log lines before the error line
    const char* errorLine;  ///< "%BAS%" stands for the .bas file's path
};

void PrintTo(const FailedRun& run, std::ostream* os) { *os << run.name; }

class ConversionEndTest : public ConversionTest, public ::testing::WithParamInterface<FailedRun> {};

const FailedRun kFailedRuns[] = {
    {"CompileFailsAfterMakingPartOfItsOutput",
     {.status = 1, .stdoutText = "cc1: out\n", .stderrText = "x.c:1:1: error: expected ';'\n  1 | int\n"},
     {}, {}, 1, "Error...1:cc1: out\nx.c:1:1: error: expected ';'\n  1 | int\n\n"},
    {"CompileFailsSilentlyWithoutOutput", {.status = 2, .output = Output::None}, {}, {}, 1, "Error...2:\n"},
    {"CompileEndsWithStatus255", {.status = 255, .stderrText = "no"}, {}, {}, 1, "Error...255:no\n"},
    {"ExtractFails", {}, {.status = 1, .stderrText = "objcopy: bad object\n"}, {}, 2,
     "Error...1:objcopy: bad object\n\n"},
    {"ExtractFailsWithoutOutput", {}, {.status = 3, .output = Output::None, .stdoutText = "o1\no2\n"}, {}, 2,
     "Error...3:o1\no2\n\n"},
    {"ConvertFails", {}, {},
     {.status = 2, .stdoutText = "half done\n", .stderrText = "tarnwick.py: error: argument -c: invalid\n"}, 3,
     "Error...2:half done\ntarnwick.py: error: argument -c: invalid\n\n"},
    {"ConvertSucceedsWithoutBasicFile", {}, {}, {.output = Output::None}, 3,
     "Error...the BASIC file %BAS% was not made\n"},
    {"ConvertSucceedsButBasicFileCannotBeOpened", {}, {}, {.output = Output::Folder}, 3,
     "Error...the BASIC file %BAS% cannot be opened\n"},
    // The output reaches the log byte for byte: its own line ends, and bytes
    // that are not UTF-8.
    {"CompileFailsWithOutputOfEveryLineEndAndStrayBytes",
     {.status = 1, .stdoutText = "crlf\r\ncr\rlf\n", .stderrText = "caf\xe9 \x93\xfa \xe6\x97\xa5\xff\r\n"},
     {}, {}, 1, "Error...1:crlf\r\ncr\rlf\ncaf\xe9 \x93\xfa \xe6\x97\xa5\xff\r\n\n"},
};

INSTANTIATE_TEST_SUITE_P(Conversion, ConversionEndTest, ::testing::ValuesIn(kFailedRuns),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(ConversionEndTest, LogsTheErrorEmptiesTheBasicAreaAndCleansUp)
{
    const FailedRun& run = GetParam();
    setTool(kGcc, run.gcc);
    setTool(kObjcopy, run.objcopy);
    setTool(kPython, run.python);

    convert();

    const QStringList lines = threeLines().split(u'\n');
    const QByteArray expectedLog = (QStringList(lines.mid(0, run.linesLogged)).join(u'\n') + u'\n').toUtf8()
                                   + QByteArray(run.errorLine).replace("%BAS%", file(QStringLiteral(".bas")).toUtf8());
    EXPECT_EQ(gui::encodeText(window_->rEF()->Text()), expectedLog);
    EXPECT_EQ(window_->bEF()->Text(), QString());
    EXPECT_EQ(leftovers(), QStringList());
    // The steps after the failing one never ran.
    EXPECT_EQ(runsOf(kGcc).size(), 1);
    EXPECT_EQ(runsOf(kObjcopy).size(), run.linesLogged >= 2 ? 1 : 0);
    EXPECT_EQ(runsOf(kPython).size(), run.linesLogged >= 3 ? 1 : 0);
    EXPECT_EQ(beeps_, 0);
    EXPECT_EQ(gui::Window::findOpen<SetWin>(), nullptr);
}

TEST_F(ConversionTest, EmptyCAreaBeepsAndDoesNothingElse)
{
    // The empty area is looked at first, even before the missing script folder.
    Module1::gTarnwickFolder.reset();
    window_->cEF()->setText(QString());

    convert();

    EXPECT_EQ(beeps_, 1);
    expectNothingHappened();
    EXPECT_EQ(leftovers(), QStringList());
    EXPECT_EQ(gui::Window::findOpen<SetWin>(), nullptr);
}

TEST_F(ConversionTest, UnsetOrMissingScriptFolderShowsTheSettingsWindow)
{
    for (const bool unset : {true, false}) {
        SCOPED_TRACE(unset ? "unset" : "missing");
        const QString missing = root_.filePath(QStringLiteral("gone"));
        if (unset)
            Module1::gTarnwickFolder.reset();
        else
            Module1::gTarnwickFolder = gui::FolderItem::fromPath(missing);

        convert();

        SetWin* settings = gui::Window::findOpen<SetWin>();
        ASSERT_NE(settings, nullptr);
        EXPECT_TRUE(settings->isVisible());
        EXPECT_EQ(beeps_, 0);
        expectNothingHappened();
        EXPECT_FALSE(QFileInfo::exists(missing));
        settings->Close();
        testsupport::settle();
    }
}

// The run cannot go on without its C file; the user learns why, and no
// command runs on a file that is not there.
TEST_F(ConversionTest, CFileThatCannotBeWrittenIsToldAndNothingRuns)
{
    const QString notAFolder = root_.filePath(QStringLiteral("plain-file"));
    writeBytes(notAFolder, "x");
    // The tools could log a run by the unprivileged user too.
    for (const QString& dir : {root_.path(), logDir_})
        ASSERT_EQ(chmod(QFile::encodeName(dir).constData(), 0777), 0);
    const struct {
        const char* name;
        QString folder;
        std::function<int()> prepareChild;
        QString reason;
    } cases[] = {
        // It exists, but nothing can be made inside it.
        {"a plain file in the place of the folder", notAFolder, [] { return 0; },
         QStringLiteral("Not a directory")},
        {"a folder the user may not write", root_.filePath(QStringLiteral("read-only")),
         testsupport::asUnprivilegedUser, QStringLiteral("Permission denied")},
        {"a file-size limit", script_, [] { return testsupport::withFileSizeLimit(8); },
         QStringLiteral("File too large")},
        {"a full disk", root_.filePath(QStringLiteral("full")),
         [this] { return testsupport::onFullDisk(root_.filePath(QStringLiteral("full"))); },
         QStringLiteral("No space left on device")},
    };
    ASSERT_TRUE(QDir().mkpath(root_.filePath(QStringLiteral("read-only"))));
    ASSERT_EQ(chmod(QFile::encodeName(root_.filePath(QStringLiteral("read-only"))).constData(), 0555), 0);
    ASSERT_TRUE(QDir().mkpath(root_.filePath(QStringLiteral("full"))));
    window_->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
    window_->cEF()->setText(QStringLiteral("int routine(void) { return 0; }\n").repeated(10));
    window_->repaint();

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Module1::gTarnwickFolder = gui::FolderItem::fromPath(c.folder);
        script_ = c.folder;
        const testsupport::ChildReport report = testsupport::reportFromChild(c.prepareChild, [this] {
            window_->PushButton1()->click();
            window_->repaint();
            QStringList left = QFileInfo(script_).isDir() ? leftovers() : QStringList();
            left.removeAll(QStringLiteral(".filler"));
            return window_->rEF()->Text() + u'|' + window_->bEF()->Text() + u'|' + left.join(u' ') + u'|'
                   + QString::number(beeps_) + u'|' + (gui::Window::findOpen<SetWin>() ? u'S' : u'-');
        });
        if (report.status == testsupport::kNoDiskOfItsOwn || report.status == testsupport::kNotUnprivileged) {
            std::printf("skipped \"%s\": this machine lets the test make no such child\n", c.name);
            continue;
        }
        EXPECT_EQ(report.status, 0);
        EXPECT_EQ(report.text, QStringLiteral("Error...the C file %1 cannot be written: %2\n|||0|-")
                                   .arg(file(QStringLiteral(".c")), c.reason));
        EXPECT_TRUE(runsOf(kGcc).isEmpty());
        EXPECT_TRUE(runsOf(kObjcopy).isEmpty());
        EXPECT_TRUE(runsOf(kPython).isEmpty());
    }
    EXPECT_EQ(readBytes(notAFolder), QByteArray("x"));
}

TEST_F(ConversionTest, CommandKilledBySignalCountsAsFailed)
{
    setTool(kGcc, {.stdoutText = "dying\n", .killed = true});

    convert();

    // After the tool's own output the shell may add a notice of its own.
    const QString log = window_->rEF()->Text();
    const QString start = u'>' + compileLine(armDir_ + u'/') + QStringLiteral("\nError...137:dying\n");
    EXPECT_TRUE(log.startsWith(start)) << qPrintable(log);
    EXPECT_TRUE(log.endsWith(u'\n')) << qPrintable(log);
    EXPECT_EQ(window_->bEF()->Text(), QString());
    EXPECT_TRUE(runsOf(kObjcopy).isEmpty());
    EXPECT_EQ(leftovers(), QStringList());
}

TEST_F(ConversionTest, ShellThatCannotStartGivesANegativeStatus)
{
    // Leave the process one free file descriptor: enough to write the .c file,
    // too few for the pipes of the shell, which then cannot start at all.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old), 0);
    rlimit tight = old;
    tight.rlim_cur = std::min<rlim_t>(old.rlim_cur, 1024);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    std::vector<int> spent;
    for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
        spent.push_back(fd);
    const int openError = errno;
    ::close(spent.back());
    spent.pop_back();

    convert();

    for (const int fd : spent)
        ::close(fd);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &old), 0);
    ASSERT_EQ(openError, EMFILE);

    const QString log = window_->rEF()->Text();
    const QString start = u'>' + compileLine(armDir_ + u'/') + QStringLiteral("\nError...-1:");
    ASSERT_TRUE(log.startsWith(start)) << qPrintable(log);
    const QString reason = log.mid(start.size());
    // The reason is the layer's one-line message, then the line end.
    EXPECT_GT(reason.size(), 1) << qPrintable(log);
    EXPECT_EQ(reason.indexOf(u'\n'), reason.size() - 1) << qPrintable(log);
    EXPECT_EQ(window_->bEF()->Text(), QString());
    EXPECT_TRUE(runsOf(kGcc).isEmpty());
    EXPECT_EQ(leftovers(), QStringList());
}

TEST_F(ConversionTest, MissingCompilerFolderIsUsedAndJudgedByStatus)
{
    const QString nowhere = root_.filePath(QStringLiteral("nowhere"));
    Module1::gArmNoneFolder = gui::FolderItem::fromPath(nowhere);

    convert();

    const QString log = window_->rEF()->Text();
    const QString start = u'>' + compileLine(nowhere + u'/') + QStringLiteral("\nError...127:");
    EXPECT_TRUE(log.startsWith(start)) << qPrintable(log);
    EXPECT_TRUE(log.mid(start.size()).contains(nowhere + QStringLiteral("/arm-none-eabi-gcc"))) << qPrintable(log);
    EXPECT_TRUE(log.endsWith(u'\n'));
    EXPECT_EQ(leftovers(), QStringList());
    EXPECT_FALSE(QFileInfo::exists(nowhere));
}

// ---- What the run hands the tools ------------------------------------------------

TEST_F(ConversionTest, CAreaOfBlanksIsCompiledAndReplacesAStaleFileOfTheSameName)
{
    // A file of this second's base name left by an earlier run is replaced.
    writeBytes(file(QStringLiteral(".c")), "left over from a run in the same second");
    const QString blanks = QStringLiteral("  \t ");
    window_->cEF()->setText(blanks);

    convert();

    EXPECT_EQ(beeps_, 0);
    EXPECT_EQ(readBytes(logDir_ + QStringLiteral("/arm-none-eabi-gcc.input")), blanks.toUtf8());
    EXPECT_EQ(window_->rEF()->Text(), threeLines());
    EXPECT_EQ(leftovers(), QStringList());
}

TEST_F(ConversionTest, OptionsAreReadOnlyAfterCompileAndExtractSucceed)
{
    // Change the options while the run is under way, as each command is logged:
    // a run that read them before its first command would pass the old values.
    QObject::connect(window_->rEF(), &QPlainTextEdit::textChanged, window_, [this] {
        const qsizetype lines = window_->rEF()->Text().count(u'\n');
        if (lines == 1) {
            window_->aOpt()->setText(QStringLiteral("0x800"));
            window_->sOpt()->setEditText(QStringLiteral("200"));
        } else if (lines == 2) {
            window_->dOpt()->setEditText(QStringLiteral("5"));
            window_->oOpt()->setListIndex(0);
            window_->cOpt()->setEditText(QStringLiteral("3"));
        }
    });

    convert();

    const QStringList changed{QStringLiteral("0x800"), QStringLiteral("200"), QStringLiteral("5"),
                              QStringLiteral("bin"), QStringLiteral("3")};
    EXPECT_EQ(runsOf(kPython), QList<QStringList>{pythonArgs(changed)});
    EXPECT_TRUE(window_->rEF()->Text().endsWith(
        u'>' + convertLine(pyDir_ + u'/', QStringLiteral("-a 0x800 -s 200 -d 5 -o bin -c 3")) + u'\n'));
}

struct FolderCase {
    const char* name;
    bool compilerFolder;
    bool pythonFolder;
};

void PrintTo(const FolderCase& folders, std::ostream* os) { *os << folders.name; }

class ConversionFoldersTest : public ConversionTest, public ::testing::WithParamInterface<FolderCase> {};

INSTANTIATE_TEST_SUITE_P(Conversion, ConversionFoldersTest,
                         ::testing::Values(FolderCase{"BothFolders", true, true},
                                           FolderCase{"CompilerFolderOnly", true, false},
                                           FolderCase{"PythonFolderOnly", false, true},
                                           FolderCase{"NoFolders", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(ConversionFoldersTest, CommandLinesNameProgramsByFolderOrBare)
{
    // Unset folders leave the programs to the search path, where the stand-ins come first.
    if (!GetParam().compilerFolder) {
        Module1::gArmNoneFolder.reset();
        prependToPath(armDir_);
    }
    if (!GetParam().pythonFolder) {
        Module1::gPythonFolder.reset();
        prependToPath(pyDir_);
    }
    const QString compilerPrefix = GetParam().compilerFolder ? armDir_ + u'/' : QString();
    const QString pythonPrefix = GetParam().pythonFolder ? pyDir_ + u'/' : QString();

    convert();

    // With the compiler folder only, this is the worked example of the window's
    // initial options, byte for byte.
    EXPECT_EQ(window_->rEF()->Text(), u'>' + compileLine(compilerPrefix) + u'\n' + u'>' + extractLine(compilerPrefix)
                                          + u'\n' + u'>' + convertLine(pythonPrefix) + u'\n');
    EXPECT_EQ(runsOf(kGcc), QList<QStringList>{gccArgs()});
    EXPECT_EQ(runsOf(kObjcopy), QList<QStringList>{objcopyArgs()});
    EXPECT_EQ(runsOf(kPython), QList<QStringList>{pythonArgs()});
    EXPECT_EQ(window_->bEF()->Text(), QString::fromUtf8(kBasic));
    EXPECT_EQ(leftovers(), QStringList());
}

TEST_F(ConversionTest, WorkedExampleComesOutByteForByte)
{
    Module1::gPythonFolder.reset();
    prependToPath(pyDir_);

    convert();

    const QString s = script_;
    const QString a = armDir_;
    EXPECT_EQ(window_->rEF()->Text(),
              QStringLiteral(">") + a + "/arm-none-eabi-gcc -c -mthumb -mlittle-endian -mno-unaligned-access -Os -o "
                  + s + "/3716541234.o -c " + s + "/3716541234.c\n"
                  + ">" + a + "/arm-none-eabi-objcopy -O binary " + s + "/3716541234.o " + s + "/3716541234.bin\n"
                  + ">python " + s + "/tarnwick.py -a 0x700 -s 100 -d 10 -o hex -c 8 " + s + "/3716541234.bin " + s
                  + "/3716541234.bas\n");
}

// ---- Hostile texts -------------------------------------------------------------

struct OptionText {
    const char* name;
    const char* text;
    const char* asLogged;  ///< how the text stands in the logged command line
};

void PrintTo(const OptionText& option, std::ostream* os) { *os << option.name; }

class ConversionOptionTextTest : public ConversionTest, public ::testing::WithParamInterface<OptionText> {};

INSTANTIATE_TEST_SUITE_P(
    Conversion, ConversionOptionTextTest,
    ::testing::Values(OptionText{"SafeWord", "0x7f0", "0x7f0"},
                      OptionText{"Semicolon", "100; touch PWNED", "'100; touch PWNED'"},
                      OptionText{"CommandSubstitution", "$(touch PWNED)", "'$(touch PWNED)'"},
                      OptionText{"Backquotes", "`touch PWNED`", "'`touch PWNED`'"},
                      OptionText{"Redirection", "1>PWNED", "'1>PWNED'"},
                      OptionText{"Blank", "a b", "'a b'"},
                      OptionText{"SingleQuote", "it's", "'it'\\''s'"},
                      OptionText{"DoubleQuoteAndDollar", "\"$HOME\"", "'\"$HOME\"'"},
                      OptionText{"Empty", "", "''"},
                      OptionText{"NonAscii", "0x7\xC3\xBC", "'0x7\xC3\xBC'"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(ConversionOptionTextTest, EachOptionReachesTheScriptAsOneArgument)
{
    const QString text = QString::fromUtf8(GetParam().text);
    const QString logged = QString::fromUtf8(GetParam().asLogged);
    setAllOptions(text);

    convert();

    EXPECT_EQ(runsOf(kPython), QList<QStringList>{pythonArgs({text, text, text, text, text})});
    const QString options = QStringLiteral("-a ") + logged + " -s " + logged + " -d " + logged + " -o " + logged
                            + " -c " + logged;
    EXPECT_EQ(window_->rEF()->Text(), u'>' + compileLine(armDir_ + u'/') + u'\n' + u'>' + extractLine(armDir_ + u'/')
                                          + u'\n' + u'>' + convertLine(pyDir_ + u'/', options) + u'\n');
    EXPECT_EQ(pwned(), QStringList());
    EXPECT_EQ(leftovers(), QStringList());
}

TEST_F(ConversionTest, HostileScriptFolderPathIsOneWordEverywhere)
{
    // The name holds blanks, both quotes, $, backquotes, ; and non-ASCII.
    const QString name = QStringLiteral("conv a'b\"c$HOME`touch PWNED`;$(touch PWNED) \u00fc");
    const QString quotedName = QStringLiteral("conv a'\\''b\"c$HOME`touch PWNED`;$(touch PWNED) \u00fc");
    useScriptFolder(root_.filePath(name));
    const QString q = u'\'' + root_.path() + u'/' + quotedName + u'\'';

    convert();

    EXPECT_EQ(window_->rEF()->Text(),
              u'>' + armDir_ + "/arm-none-eabi-gcc -c -mthumb -mlittle-endian -mno-unaligned-access -Os -o " + q
                  + "/3716541234.o -c " + q + "/3716541234.c\n"
                  + ">" + armDir_ + "/arm-none-eabi-objcopy -O binary " + q + "/3716541234.o " + q + "/3716541234.bin\n"
                  + ">" + pyDir_ + "/python " + q + "/tarnwick.py -a 0x700 -s 100 -d 10 -o hex -c 8 " + q
                  + "/3716541234.bin " + q + "/3716541234.bas\n");
    EXPECT_EQ(runsOf(kGcc), QList<QStringList>{gccArgs()});
    EXPECT_EQ(runsOf(kObjcopy), QList<QStringList>{objcopyArgs()});
    EXPECT_EQ(runsOf(kPython), QList<QStringList>{pythonArgs()});
    EXPECT_EQ(window_->bEF()->Text(), QString::fromUtf8(kBasic));
    EXPECT_EQ(leftovers(), QStringList());
    EXPECT_EQ(pwned(), QStringList());
}

}  // namespace
