// The Convert run of a converter window through the real ARM compiler and
// objcopy, with our stand-in conversion script tests/fixtures/tarnwick.py
// under a real Python.

#include "converter/twk_win.h"
#include "settings/tool_folders.h"

#include "app/gui/folder_item.h"
#include "app/gui/runtime.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <algorithm>

namespace {

using testsupport::readBytes;

struct OptionSet {
    const char* name;
    const char* address;  ///< null: keep the window's initial options
    const char* firstLine;
    const char* step;
    const char* format;
    const char* perLine;
};

void PrintTo(const OptionSet& options, std::ostream* os) { *os << options.name; }

/// What a program ends with: its exit status and its standard output and error, merged.
struct Outcome {
    int status;
    QString output;
};

/// Runs a program directly (no shell), whatever its exit status.
Outcome outcomeOf(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForStarted(-1)) << qPrintable(program);
    EXPECT_TRUE(process.waitForFinished(-1)) << qPrintable(program);
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << qPrintable(program);
    return {process.exitCode(), QString::fromUtf8(process.readAll())};
}

/// Runs a program directly (no shell); fails the test unless it ends with status 0.
void run(const QString& program, const QStringList& arguments)
{
    const Outcome outcome = outcomeOf(program, arguments);
    ASSERT_EQ(outcome.status, 0) << qPrintable(program) << ": " << qPrintable(outcome.output);
}

/// The BASIC text that the stand-in script is meant to make of these bytes,
/// worked out here on its own so that the script itself is checked too.
QString expectedBasic(const QByteArray& code, int address, int firstLine, int step, const QString& format,
                      int perLine)
{
    QString text = QStringLiteral("%1 REM LOAD %2 BYTES AT &H%3\n")
                       .arg(firstLine)
                       .arg(code.size())
                       .arg(QString::number(address, 16).toUpper());
    int line = firstLine;
    for (qsizetype start = 0; start < code.size(); start += perLine) {
        QStringList values;
        for (const char byte : code.mid(start, perLine)) {
            const auto value = static_cast<unsigned char>(byte);
            if (format == QLatin1String("hex"))
                values << QStringLiteral("&H%1").arg(value, 2, 16, QChar(u'0')).toUpper();
            else if (format == QLatin1String("bin"))
                values << QStringLiteral("&B%1").arg(value, 8, 2, QChar(u'0'));
            else
                values << QString::number(value);
        }
        line += step;
        text += QStringLiteral("%1 DATA %2\n").arg(line).arg(values.join(u','));
    }
    return text;
}

class ConversionRealTools : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root_.isValid());
        // The expected command lines below name these folders unquoted.
        ASSERT_TRUE(gui::isSafeShellWord(root_.path())) << qPrintable(root_.path());
        gcc_ = QStandardPaths::findExecutable(QStringLiteral("arm-none-eabi-gcc"));
        objcopy_ = QStandardPaths::findExecutable(QStringLiteral("arm-none-eabi-objcopy"));
        ASSERT_FALSE(gcc_.isEmpty()) << "arm-none-eabi-gcc is not on PATH (Debian: gcc-arm-none-eabi)";
        ASSERT_FALSE(objcopy_.isEmpty()) << "arm-none-eabi-objcopy is not on PATH (Debian: binutils-arm-none-eabi)";
        python3_ = QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
                       ? QStringLiteral("/usr/bin/python3")
                       : QStandardPaths::findExecutable(QStringLiteral("python3"));
        ASSERT_FALSE(python3_.isEmpty()) << "python3 is not installed";

        script_ = root_.filePath(QStringLiteral("conv"));
        pyDir_ = root_.filePath(QStringLiteral("py"));
        ref_ = root_.filePath(QStringLiteral("ref"));
        for (const QString& dir : {script_, pyDir_, ref_})
            ASSERT_TRUE(QDir().mkpath(dir));
        ASSERT_TRUE(QFile::copy(QStringLiteral(TESTS_SOURCE_DIR "/fixtures/tarnwick.py"),
                                script_ + QStringLiteral("/tarnwick.py")));
        // The run calls "python"; many systems have only python3.
        ASSERT_TRUE(QFile::link(python3_, pyDir_ + QStringLiteral("/python")));

        Module1::gTarnwickFolder = gui::FolderItem::fromPath(script_);
        Module1::gArmNoneFolder.reset();
        Module1::gPythonFolder = gui::FolderItem::fromPath(pyDir_);
        gui::Date::setClockForTesting([] { return 3716541234.0; });
        window_ = gui::Window::make<TWKWin>();
    }

    void TearDown() override
    {
        testsupport::closeAllWindows();
        gui::Date::setClockForTesting({});
        Module1::gTarnwickFolder.reset();
        Module1::gPythonFolder.reset();
    }

    QTemporaryDir root_{QDir::tempPath() + QStringLiteral("/conversion-real-XXXXXX")};
    QString gcc_, objcopy_, python3_, script_, pyDir_, ref_;
    TWKWin* window_ = nullptr;
};

class ConversionRealToolsTest : public ConversionRealTools, public ::testing::WithParamInterface<OptionSet> {};

INSTANTIATE_TEST_SUITE_P(ConversionRealTools, ConversionRealToolsTest,
                         ::testing::Values(OptionSet{"InitialOptions", nullptr, nullptr, nullptr, nullptr, nullptr},
                                           OptionSet{"Decimal", "0x1000", "5", "5", "dec", "3"},
                                           OptionSet{"Binary", "1792", "1", "1", "bin", "20"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(ConversionRealToolsTest, SampleRoutineBecomesTheScriptsBasicText)
{
    const OptionSet& options = GetParam();
    if (options.address) {
        window_->aOpt()->setText(QString::fromUtf8(options.address));
        window_->sOpt()->setEditText(QString::fromUtf8(options.firstLine));
        window_->dOpt()->setEditText(QString::fromUtf8(options.step));
        window_->oOpt()->setListIndex(window_->oOpt()->findText(QString::fromUtf8(options.format)));
        window_->cOpt()->setEditText(QString::fromUtf8(options.perLine));
    }
    const QString a = window_->aOpt()->Text();
    const QString s = window_->sOpt()->Text();
    const QString d = window_->dOpt()->Text();
    const QString o = window_->oOpt()->Text();
    const QString c = window_->cOpt()->Text();
    ASSERT_EQ(o, options.format ? QString::fromUtf8(options.format) : QStringLiteral("hex"));

    // The same routine, compiled with the same flags beside the run, and the
    // stand-in script run on that machine code.
    testsupport::writeBytes(ref_ + QStringLiteral("/r.c"), window_->cEF()->Text().toUtf8());
    run(gcc_, {QStringLiteral("-c"), QStringLiteral("-mthumb"), QStringLiteral("-mlittle-endian"),
               QStringLiteral("-mno-unaligned-access"), QStringLiteral("-Os"), QStringLiteral("-o"),
               ref_ + QStringLiteral("/r.o"), QStringLiteral("-c"), ref_ + QStringLiteral("/r.c")});
    run(objcopy_, {QStringLiteral("-O"), QStringLiteral("binary"), ref_ + QStringLiteral("/r.o"),
                   ref_ + QStringLiteral("/r.bin")});
    run(python3_, {script_ + QStringLiteral("/tarnwick.py"), QStringLiteral("-a"), a, QStringLiteral("-s"), s,
                   QStringLiteral("-d"), d, QStringLiteral("-o"), o, QStringLiteral("-c"), c,
                   ref_ + QStringLiteral("/r.bin"), ref_ + QStringLiteral("/r.bas")});
    const QByteArray code = readBytes(ref_ + QStringLiteral("/r.bin"));
    ASSERT_FALSE(code.isEmpty());
    const QString basic = QString::fromUtf8(readBytes(ref_ + QStringLiteral("/r.bas")));
    EXPECT_EQ(basic, expectedBasic(code, a.toInt(nullptr, 0), s.toInt(), d.toInt(), o, c.toInt()));

    window_->PushButton1()->click();

    EXPECT_EQ(window_->bEF()->Text(), basic);
    const QString base = script_ + QStringLiteral("/3716541234");
    EXPECT_EQ(window_->rEF()->Text(),
              ">arm-none-eabi-gcc -c -mthumb -mlittle-endian -mno-unaligned-access -Os -o " + base + ".o -c " + base
                  + ".c\n"
                  + ">arm-none-eabi-objcopy -O binary " + base + ".o " + base + ".bin\n"
                  + ">" + pyDir_ + "/python " + script_ + "/tarnwick.py -a " + a + " -s " + s + " -d " + d + " -o "
                  + o + " -c " + c + " " + base + ".bin " + base + ".bas\n");
    EXPECT_EQ(QDir(script_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
              QStringList{QStringLiteral("tarnwick.py")});
}

TEST_F(ConversionRealTools, CompileErrorIsLoggedWithTheCompilersMessageAndNoFileIsLeft)
{
    const QString source = QStringLiteral("int f(void)\r{\r  return missing;\r}\r");
    window_->cEF()->setText(source);

    // The same text under the same file name beside the run, compiled with the
    // same flags: what the compiler says there, it says in the run, but for the folder.
    const QString refC = ref_ + QStringLiteral("/3716541234.c");
    testsupport::writeBytes(refC, source.toUtf8());
    const Outcome reference =
        outcomeOf(gcc_, {QStringLiteral("-c"), QStringLiteral("-mthumb"), QStringLiteral("-mlittle-endian"),
                         QStringLiteral("-mno-unaligned-access"), QStringLiteral("-Os"), QStringLiteral("-o"),
                         ref_ + QStringLiteral("/3716541234.o"), QStringLiteral("-c"), refC});
    ASSERT_EQ(reference.status, 1);
    ASSERT_TRUE(reference.output.contains(refC + u':')) << qPrintable(reference.output);
    ASSERT_TRUE(reference.output.contains(QStringLiteral("error"))) << qPrintable(reference.output);
    QString message = reference.output;
    message.replace(ref_ + u'/', script_ + u'/');

    window_->PushButton1()->click();

    const QString base = script_ + QStringLiteral("/3716541234");
    EXPECT_EQ(window_->rEF()->Text(), ">arm-none-eabi-gcc -c -mthumb -mlittle-endian -mno-unaligned-access -Os -o "
                                          + base + ".o -c " + base + ".c\nError...1:" + message + "\n");
    EXPECT_EQ(window_->bEF()->Text(), QString());
    EXPECT_EQ(QDir(script_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
              QStringList{QStringLiteral("tarnwick.py")});
}

TEST_F(ConversionRealTools, TheLogShowsItsEndSoThatAFailuresReasonIsInView)
{
    // Tools in folders of ordinary depth: the command lines alone fill the log.
    script_ = root_.filePath(QStringLiteral("home/alexandra/Documents/Projects/basic-machine-code/tools/conv"));
    ASSERT_TRUE(QDir().mkpath(script_));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TESTS_SOURCE_DIR "/fixtures/tarnwick.py"),
                            script_ + QStringLiteral("/tarnwick.py")));
    Module1::gTarnwickFolder = gui::FolderItem::fromPath(script_);
    const struct {
        const char* name;
        QString source;
        QString perLine;
        QString errorLine;  ///< how the error line starts
    } cases[] = {
        {"the compiler's message", QStringLiteral("int f(void)\n{\n  return missing;\n}\n"), QStringLiteral("8"),
         QStringLiteral("Error...1:")},
        {"the script's message", window_->cEF()->Text(), QStringLiteral("none"), QStringLiteral("Error...2:")},
    };
    window_->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
    gui::TextArea* log = window_->rEF();
    ASSERT_TRUE(log->AutomaticallyCheckSpelling());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window_->cEF()->setText(c.source);
        window_->cOpt()->setEditText(c.perLine);
        log->verticalScrollBar()->setValue(0);
        window_->PushButton1()->click();
        window_->repaint();

        const QStringList lines = log->Text().split(u'\n');
        const auto errorLine = std::find_if(lines.begin(), lines.end(), [&](const QString& line) {
            return line.startsWith(c.errorLine);
        });
        ASSERT_NE(errorLine, lines.end()) << qPrintable(log->Text());
        // The log runs past what it shows, and shows its end: the error line and
        // whatever follows it.
        ASSERT_GT(log->verticalScrollBar()->maximum(), 0);
        EXPECT_EQ(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());
        // The error's last line is in view from its start, and so is the log's end.
        const QRect shown = log->viewport()->rect();
        const int lastLine = int(lines.size()) - 2;  // the text ends with a line end
        const int lastLineStart = log->document()->findBlockByNumber(lastLine).position();
        QTextCursor cursor(log->document());
        for (int at : {lastLineStart, log->document()->characterCount() - 1}) {
            cursor.setPosition(at);
            EXPECT_TRUE(shown.contains(log->cursorRect(cursor))) << "position " << at << " is out of view";
        }
    }
}

}  // namespace
