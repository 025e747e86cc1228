// Convert: the compile, extract and convert run of a converter window.

#include "converter/command_lines.h"
#include "converter/twk_win.h"

#include "app/gui/runtime.h"
#include "app/gui/shell.h"
#include "app/gui/text_streams.h"
#include "settings/set_win.h"
#include "settings/tool_folders.h"

namespace {

QString prefixOf(const gui::FolderItemPtr& folder)
{
    return folder ? folder->ShellPath() + u'/' : QString();
}

void appendToLog(gui::TextArea* log, const QString& line)
{
    log->AppendText(line + gui::EndOfLine());
}

}  // namespace

void TWKWin::PushButton1_Action(gui::PushButton*)
{
    using namespace Module1;

    if (cEF()->Text().isEmpty()) {
        gui::Beep();
        return;
    }
    if (!gTarnwickFolder || !gTarnwickFolder->Exists()) {
        SetWin::shared()->Show();
        return;
    }

    const QString baseName = gui::Str(gui::Date().TotalSeconds(), QStringLiteral("#"));
    const QString scriptPrefix = prefixOf(gTarnwickFolder);
    const QString compilerPrefix = prefixOf(gArmNoneFolder);
    const QString pythonPrefix = prefixOf(gPythonFolder);

    const gui::FolderItemPtr cFile = gTarnwickFolder->Child(baseName + QLatin1String(".c"));
    const QString whyNotWritten = gui::writeWholeTextFile(cFile, cEF()->Text());

    bEF()->setText(QString());
    rEF()->setText(QString());
    // Without its C file no command can do anything: say why, rather than let
    // the compiler report a file that is not there, or end in silence.
    if (!whyNotWritten.isEmpty()) {
        appendToLog(rEF(), QLatin1String("Error...the C file ") + cFile->path() + QLatin1String(" cannot be written: ")
                               + whyNotWritten);
        return;
    }

    gui::Shell shell;
    // Runs one step; on failure logs its error line and tells the run to stop.
    auto step = [&](const QString& commandLine) {
        shell.Execute(commandLine);
        appendToLog(rEF(), QLatin1String(">") + commandLine);
        if (shell.ErrorCode() == 0)
            return true;
        appendToLog(rEF(), QLatin1String("Error...") + gui::Str(shell.ErrorCode()) + u':' + shell.Result());
        return false;
    };

    const bool converted =
        step(compileCommand(compilerPrefix, scriptPrefix, baseName))
        && step(extractCommand(compilerPrefix, scriptPrefix, baseName))
        && step(convertCommand(pythonPrefix, scriptPrefix, baseName,
                               {aOpt()->Text(), sOpt()->Text(), dOpt()->Text(), oOpt()->Text(), cOpt()->Text()}));

    if (converted) {
        // The script reported success, yet its output may be missing or unreadable:
        // say so in the log, and still clean up, rather than end in silence and
        // leave the run's files behind.
        const gui::FolderItemPtr basFile = cFile->Parent()->Child(baseName + QLatin1String(".bas"));
        if (!basFile->Exists()) {
            appendToLog(rEF(), QLatin1String("Error...the BASIC file ") + basFile->path() + QLatin1String(" was not made"));
        } else if (auto stream = gui::TextInputStream::Open(basFile)) {
            bEF()->setText(stream->ReadAll());
            stream->Close();
        } else {
            appendToLog(rEF(), QLatin1String("Error...the BASIC file ") + basFile->path() + QLatin1String(" cannot be opened"));
        }
    }

    for (const char* extension : {".c", ".o", ".bin", ".bas"}) {
        const gui::FolderItemPtr file = gTarnwickFolder->Child(baseName + QLatin1String(extension));
        if (file->Exists())
            file->Delete();
    }
}
