#include "app/gui/dialogs.h"

#include "app/gui/file_type.h"
#include "app/gui/runtime.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace gui {

namespace {

DialogResponder& responder()
{
    static DialogResponder responder;
    return responder;
}

/// "C source (*.c)" style filter for a registered type; no filter for an unknown one.
QString filterFor(const QString& fileTypeName)
{
    const FileTypePtr type = FileType::registered(fileTypeName);
    if (!type)
        return {};
    QStringList patterns;
    for (const QString& extension : type->Extensions.split(u';', Qt::SkipEmptyParts))
        patterns << u'*' + extension;
    return type->Name + QLatin1String(" (") + patterns.join(u' ') + u')';
}

FolderItemPtr itemFor(const QString& path)
{
    return path.isEmpty() ? nullptr : FolderItem::fromPath(path);
}

}  // namespace

void setDialogResponderForTesting(DialogResponder newResponder)
{
    responder() = std::move(newResponder);
}

FolderItemPtr GetOpenFolderItem(const QString& fileTypeName)
{
    if (responder())
        return responder()({.kind = DialogRequest::Kind::Open, .fileTypeName = fileTypeName});
    return itemFor(QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), QString(),
                                                filterFor(fileTypeName)));
}

FolderItemPtr GetSaveFolderItem(const QString& fileTypeName, const QString& defaultName)
{
    if (responder())
        return responder()(
            {.kind = DialogRequest::Kind::Save, .fileTypeName = fileTypeName, .defaultName = defaultName});
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filterFor(fileTypeName));
    if (const FileTypePtr type = FileType::registered(fileTypeName))
        dialog.setDefaultSuffix(type->Extensions.section(u';', 0, 0).mid(1));
    dialog.selectFile(defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return nullptr;
    return itemFor(dialog.selectedFiles().constFirst());
}

void ShowWarning(const QString& message, const QString& detail)
{
    Beep();
    if (responder()) {
        responder()({.kind = DialogRequest::Kind::Warning, .message = message, .detail = detail});
        return;
    }
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setInformativeText(detail);
    box.exec();
}

FolderItemPtr SelectFolderDialog::ShowModal() const
{
    if (responder())
        return responder()({DialogRequest::Kind::SelectFolder, {}, {}, Title, PromptText, ActionButtonCaption,
                            InitialDirectory});
    QFileDialog dialog(nullptr, Title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, ActionButtonCaption);
    dialog.setLabelText(QFileDialog::LookIn, PromptText);
    if (InitialDirectory && InitialDirectory->Exists())
        dialog.setDirectory(InitialDirectory->path());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return nullptr;
    return itemFor(dialog.selectedFiles().constFirst());
}

}  // namespace gui
