#pragma once

#include "app/gui/folder_item.h"

#include <QString>

#include <vector>

namespace Module1 {

/// A tool folder that is in effect but that a rewrite left out of the file.
struct FolderLeftOut {
    /// What the folder is for, in the user's words: "tarnwick.py folder",
    /// "arm-none-eabi-gcc folder" or "Python folder".
    QString role;
    /// The folder as its global holds it.
    gui::FolderItemPtr folder;
};

/// What a rewrite of the settings file kept.
struct SettingWritten {
    /// Why the file could not be written at all, in the system's words (the
    /// old file then stays whole); empty when it was written.
    QString whyNotWritten;
    /// The folders that are set and exist but that a written file leaves out,
    /// in file order: their path holds a line break or "=>", which one entry
    /// cannot hold.
    std::vector<FolderLeftOut> leftOut;

    /// Whether every tool folder that is set and exists was kept.
    bool keptAll() const { return whyNotWritten.isEmpty() && leftOut.empty(); }
};

/// Rewrites the settings file whole from the tool folders that are set and
/// exist, one "Key=>shell path" line each. Says what it could not keep: a
/// folder whose path holds a line break or "=>" is left out, since its entry
/// would not read back as that folder; when the file cannot be written
/// (created, written or closed), the old one stays whole.
SettingWritten WriteSetting();
/// Applies the settings file to the tool folders: each line with a known key
/// sets its folder, a later line overriding an earlier one, and a folder that
/// does not exist is unset. A folder is read on its own bytes, in UTF-8 or,
/// when they are not valid UTF-8, in Latin-1. Without a readable file nothing
/// changes.
void ReadSetting();

}  // namespace Module1
