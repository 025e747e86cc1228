#pragma once

#include "app/gui/folder_item.h"

#include <QString>

#include <functional>

namespace gui {

/// What a file or folder dialog was asked, for the test seam.
struct DialogRequest {
    enum class Kind { Open, Save, SelectFolder } kind;
    QString fileTypeName;      ///< Open and Save: the registered file type's name.
    QString defaultName;       ///< Save: the name offered.
    QString title;             ///< SelectFolder.
    QString promptText;        ///< SelectFolder.
    QString actionCaption;     ///< SelectFolder.
    FolderItemPtr initialDirectory;  ///< SelectFolder; null when unset.
};

/// Answers dialogs in place of the user: returns the chosen item, or null for
/// Cancel. While one is installed no native dialog is shown.
using DialogResponder = std::function<FolderItemPtr(const DialogRequest&)>;
/// Installs a responder (tests); an empty function restores the native dialogs.
void setDialogResponderForTesting(DialogResponder responder);

/// The platform's open dialog, limited to files of the registered type of that
/// name. Returns the chosen file, or null when the user cancels.
FolderItemPtr GetOpenFolderItem(const QString& fileTypeName);
/// The platform's save dialog for files of that type, offering the name.
/// Returns the chosen place, existing or not, or null when the user cancels.
FolderItemPtr GetSaveFolderItem(const QString& fileTypeName, const QString& defaultName);

/// The platform's modal folder chooser.
class SelectFolderDialog {
public:
    QString ActionButtonCaption;
    QString Title;
    QString PromptText;
    FolderItemPtr InitialDirectory;

    /// Shows the chooser and returns the chosen folder, or null on cancel.
    FolderItemPtr ShowModal() const;
};

}  // namespace gui
