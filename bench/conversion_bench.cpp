// A full conversion of the sample routine through the converter window's
// Convert handler, against a bare /bin/sh script that runs the same three
// command lines, with the bench writing the .c file and reading the .bas file
// itself. The two are interleaved, so that both see the same machine. The
// window, never shown, is made on the Qt platform that QT_QPA_PLATFORM names,
// offscreen when it names none, and its row says which.

#include "bench/bench_support.h"

#include "app/gui/folder_item.h"
#include "converter/command_lines.h"
#include "converter/twk_win.h"
#include "settings/tool_folders.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

namespace {

constexpr int kWarmUps = 2;
// Whole cycles of the two measures' orders (see bench::roundOrder).
constexpr int kRuns = 42;

[[noreturn]] void fail(const QString& why)
{
    std::fprintf(stderr, "conversion_bench: %s\n", qPrintable(why));
    std::exit(1);
}

/// Runs `/bin/sh script` and returns its exit status.
int runShellScript(const std::string& script)
{
    const char* argv[] = {"sh", script.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const QString script = QStringLiteral(TARNWICK_SOURCE_DIR "/tests/fixtures/tarnwick.py");
    if (!QFile::exists(script))
        fail(QStringLiteral("no conversion script at ") + script);
    for (const char* tool : {"arm-none-eabi-gcc", "arm-none-eabi-objcopy"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            fail(QStringLiteral("%1 is not on PATH").arg(QString::fromLatin1(tool)));
    }

    QTemporaryDir work;
    if (!work.isValid())
        fail(QStringLiteral("no temporary folder"));
    const QString scripts = work.filePath(QStringLiteral("scripts"));
    QDir().mkpath(scripts);
    QFile::copy(script, scripts + QStringLiteral("/tarnwick.py"));
    Module1::gTarnwickFolder = gui::FolderItem::fromPath(scripts);

    // The command line calls "python"; where only python3 exists, a folder
    // with a "python" link to it stands in as the Python folder.
    if (QStandardPaths::findExecutable(QStringLiteral("python")).isEmpty()) {
        const QString python3 = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python3.isEmpty())
            fail(QStringLiteral("neither python nor python3 is on PATH"));
        const QString pythonFolder = work.filePath(QStringLiteral("python"));
        QDir().mkpath(pythonFolder);
        QFile::link(python3, pythonFolder + QStringLiteral("/python"));
        Module1::gPythonFolder = gui::FolderItem::fromPath(pythonFolder);
    }

    TWKWin* window = gui::Window::make<TWKWin>();
    const QByteArray cText = window->cEF()->Text().toUtf8();

    // The same three command lines, for a base name of the bench's own.
    const QString base = QStringLiteral("shellbench");
    const QString scriptPrefix = Module1::gTarnwickFolder->ShellPath() + u'/';
    const QString pythonPrefix = Module1::gPythonFolder ? Module1::gPythonFolder->ShellPath() + u'/' : QString();
    const ConversionOptions options{window->aOpt()->Text(), window->sOpt()->Text(), window->dOpt()->Text(),
                                    window->oOpt()->Text(), window->cOpt()->Text()};
    const std::string shellScript = work.filePath(QStringLiteral("convert.sh")).toStdString();
    {
        std::ofstream out(shellScript, std::ios::binary);
        out << "set -e\n"
            << compileCommand({}, scriptPrefix, base).toStdString() << '\n'
            << extractCommand({}, scriptPrefix, base).toStdString() << '\n'
            << convertCommand(pythonPrefix, scriptPrefix, base, options).toStdString() << '\n';
    }
    const std::string stem = (scripts + u'/' + base).toStdString();

    auto throughApp = [&] {
        const auto start = bench::Clock::now();
        window->PushButton1_Action(window->PushButton1());
        const double ms = bench::millisecondsSince(start);
        if (window->bEF()->Text().isEmpty() || window->rEF()->Text().contains(QLatin1String("Error...")))
            fail(QStringLiteral("the conversion through the window failed:\n") + window->rEF()->Text());
        return ms;
    };
    std::string shellResult;
    auto throughShell = [&] {
        const auto start = bench::Clock::now();
        {
            std::ofstream c(stem + ".c", std::ios::binary);
            c.write(cText.constData(), cText.size());
        }
        const int status = runShellScript(shellScript);
        std::ifstream bas(stem + ".bas", std::ios::binary);
        std::stringstream text;
        text << bas.rdbuf();
        shellResult = text.str();
        for (const char* extension : {".c", ".o", ".bin", ".bas"})
            std::remove((stem + extension).c_str());
        const double ms = bench::millisecondsSince(start);
        if (status != 0 || shellResult.empty())
            fail(QStringLiteral("the bare shell script failed (status %1)").arg(status));
        return ms;
    };

    for (int i = 0; i < kWarmUps; ++i) {
        throughApp();
        throughShell();
    }
    std::vector<double> appTimes;
    std::vector<double> shellTimes;
    bench::runInterleaved(kRuns, {[&] { appTimes.push_back(throughApp()); },
                                  [&] { shellTimes.push_back(throughShell()); }});
    if (window->bEF()->Text().toStdString() != shellResult)
        fail(QStringLiteral("the window's BASIC text differs from the bare script's"));

    bench::printHeader("Conversion of the sample routine (compile, extract, convert)");
    bench::printRow(bench::onPlatform("Convert in the converter window, not shown",
                                      QGuiApplication::platformName().toStdString()),
                    appTimes, "ms");
    bench::printRow("bare /bin/sh script, same three commands, no Qt", shellTimes, "ms");
    bench::printRatio("ratio of medians, window / bare script", bench::median(appTimes) / bench::median(shellTimes),
                      1.03);
    // Each pair ran back to back, so its ratio sees the same machine load.
    std::vector<double> pairRatios;
    for (std::size_t i = 0; i < appTimes.size(); ++i)
        pairRatios.push_back(appTimes[i] / shellTimes[i]);
    bench::printRatio("median of the pairs' ratios", bench::median(pairRatios), 1.03);

    window->Close();
    Module1::gTarnwickFolder.reset();
    Module1::gPythonFolder.reset();
    return 0;
}
