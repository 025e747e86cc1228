#include "settings/settings_file.h"

#include "app/gui/runtime.h"
#include "app/gui/text_codec.h"
#include "app/gui/text_streams.h"
#include "settings/tool_folders.h"

#include <array>

namespace Module1 {

namespace {

/// One line of the file: its key, its global, and what the folder is for.
struct KeyedFolder {
    const char* key;
    gui::FolderItemPtr* folder;
    const char* role;
};

/// The keys in the order they are written.
std::array<KeyedFolder, 3> keyedFolders()
{
    return {{{"ArmNoneFolder", &gArmNoneFolder, "arm-none-eabi-gcc folder"},
             {"TarnwickFolder", &gTarnwickFolder, "tarnwick.py folder"},
             {"PythonFolder", &gPythonFolder, "Python folder"}}};
}

}  // namespace

SettingWritten WriteSetting()
{
    SettingWritten written;
    auto stream = gui::TextOutputStream::Create(gSettingFile, &written.whyNotWritten);
    if (!stream)
        return written;
    for (const auto& [key, folder, role] : keyedFolders()) {
        if (!*folder || !(*folder)->Exists())
            continue;
        const QString shellPath = (*folder)->ShellPath();
        // Reading splits the file at every CR and LF, and a line at its second
        // "=>": such a path would read back cut, and what follows a break as
        // an entry of its own.
        if (shellPath.contains(u'\r') || shellPath.contains(u'\n') || shellPath.contains(QLatin1String("=>"))) {
            written.leftOut.push_back({QLatin1String(role), *folder});
            continue;
        }
        stream->WriteLine(QLatin1String(key) + QLatin1String("=>") + shellPath);
    }
    if (!stream->Close()) {
        written.whyNotWritten = stream->errorString();
        // None of this rewrite reached the file, so no one folder was left out
        // of it: the old file stands whole.
        written.leftOut.clear();
    }
    return written;
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
        // The file is written by hand too, in whatever editor, and one line may
        // mix encodings: a folder in UTF-8, then a note after a second "=>" in
        // Latin-1. So the folder is read on its own bytes, as its writer meant.
        const QByteArray line = stream->ReadLineBytes();
        const QString key = gui::NthField(gui::decodeUtf8OrLatin1(line), QStringLiteral("=>"), 1);
        const QString value = gui::decodeUtf8OrLatin1(gui::NthField(line, QByteArrayLiteral("=>"), 2));
        for (const KeyedFolder& entry : keyedFolders()) {
            if (!gui::textEquals(key, QLatin1String(entry.key)))
                continue;
            gui::FolderItemPtr& folder = *entry.folder;
            folder = gui::FolderItem::fromShellPath(value);
            if (!folder->Exists())
                folder.reset();
            break;
        }
    } while (!stream->Eof());
}

}  // namespace Module1
