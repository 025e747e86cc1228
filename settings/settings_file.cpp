#include "settings/settings_file.h"

#include "app/gui/runtime.h"
#include "app/gui/text_streams.h"
#include "settings/tool_folders.h"

#include <array>
#include <utility>

namespace Module1 {

namespace {

/// The keys in the order they are written, each with its global.
std::array<std::pair<const char*, gui::FolderItemPtr*>, 3> keyedFolders()
{
    return {{{"ArmNoneFolder", &gArmNoneFolder}, {"TarnwickFolder", &gTarnwickFolder}, {"PythonFolder", &gPythonFolder}}};
}

}  // namespace

bool WriteSetting(QString* whyNot)
{
    QString reason;
    auto stream = gui::TextOutputStream::Create(gSettingFile, &reason);
    if (stream) {
        for (const auto& [key, folder] : keyedFolders()) {
            if (!*folder || !(*folder)->Exists())
                continue;
            const QString shellPath = (*folder)->ShellPath();
            // Reading splits the file at every CR and LF: such a path would
            // read back cut, and what follows the break as an entry of its own.
            if (shellPath.contains(u'\r') || shellPath.contains(u'\n')) {
                reason = QStringLiteral("The name of %1 holds a line break.").arg((*folder)->path());
                continue;
            }
            stream->WriteLine(QLatin1String(key) + QLatin1String("=>") + shellPath);
        }
        if (!stream->Close())
            reason = stream->errorString();
    }
    if (whyNot)
        *whyNot = reason;
    return reason.isEmpty();
}

void ReadSetting()
{
    if (!gSettingFile || !gSettingFile->Exists())
        return;
    auto stream = gui::TextInputStream::Open(gSettingFile);
    if (!stream)
        return;
    // The first line is read before the end is tested: an empty file is one empty line.
    do {
        const QString line = stream->ReadLine();
        const QString key = gui::NthField(line, QStringLiteral("=>"), 1);
        const QString value = gui::NthField(line, QStringLiteral("=>"), 2);
        for (const auto& [name, folder] : keyedFolders()) {
            if (!gui::textEquals(key, QLatin1String(name)))
                continue;
            *folder = gui::FolderItem::fromShellPath(value);
            if (!(*folder)->Exists())
                folder->reset();
            break;
        }
    } while (!stream->Eof());
}

}  // namespace Module1
