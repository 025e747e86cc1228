#pragma once

#include "app/gui/folder_item.h"

#include <QString>

#include <functional>

namespace gui {

/// What a dialog (file, folder or warning) was asked, for the test seam.
struct DialogRequest {
    enum class Kind { Open, Save, SelectFolder, Warning } kind = Kind::Open;
    QString fileTypeName = {};            ///< Open and Save: the registered file type's name.
    QString defaultName = {};             ///< Save: the name offered.
    QString title = {};                   ///< SelectFolder.
    QString promptText = {};              ///< SelectFolder.
    QString actionCaption = {};           ///< SelectFolder.
    FolderItemPtr initialDirectory = {};  ///< SelectFolder; null when unset.
    QString message = {};                 ///< Warning: what went wrong.
    QString detail = {};                  ///< Warning: why, in the system's words.
};

/// Answers dialogs in place of the user: returns the chosen item, or null for
/// Cancel (a warning's answer is not looked at). While one is installed no
/// native dialog is shown.
using DialogResponder = std::function<FolderItemPtr(const DialogRequest&)>;
/// Installs a responder (tests); an empty function restores the native dialogs.
void setDialogResponderForTesting(DialogResponder responder);

/// The platform's open dialog, limited to files of the registered type of that
/// name. Returns the chosen file, or null when the user cancels.
FolderItemPtr GetOpenFolderItem(const QString& fileTypeName);
/// The platform's save dialog for files of that type, offering the name.
/// Returns the chosen place, existing or not, or null when the user cancels.
FolderItemPtr GetSaveFolderItem(const QString& fileTypeName, const QString& defaultName);

/// Sounds the alert and shows a modal warning: the message, and below it the
/// detail. Returns when the user has dismissed it.
void ShowWarning(const QString& message, const QString& detail);

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
