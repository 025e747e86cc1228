// A converter window's documents: new, open, save and the title.

#include "converter/documents.h"

#include "converter/twk_win.h"

#include "app/gui/dialogs.h"
#include "app/gui/runtime.h"
#include "app/gui/text_streams.h"
#include "settings/set_win.h"

namespace {

/// The name before its first ".".
QString stemOf(const gui::FolderItemPtr& file)
{
    return gui::NthField(file->Name(), QStringLiteral("."), 1);
}

/// What one of the window's two documents is saved from and to.
struct Document {
    gui::FolderItemPtr& own;
    const gui::FolderItemPtr& other;
    const char* companionSuffix;
    const char* fileTypeName;
    const char* dialogName;
    QString text;
};

/// Tells the user that a document was not written, and why: the window must
/// not look saved when it is not.
void warnNotSaved(const gui::FolderItemPtr& file, const QString& reason)
{
    gui::ShowWarning(QStringLiteral("Could not save \"%1\".").arg(file->path()), reason);
}

/// The target is the document's own file; else the companion of the other
/// document's file; else what the save dialog gives. Binds the document to the
/// target only once the file has been written whole.
void save(Document document)
{
    gui::FolderItemPtr target = document.own;
    if (!target && document.other) {
        // The other document's file may itself bear the companion's name (C
        // saved as "prog.bas"): never write over it, ask instead.
        gui::FolderItemPtr companion =
            document.other->Parent()->Child(stemOf(document.other) + QLatin1String(document.companionSuffix));
        if (!companion->sameFileAs(*document.other))
            target = std::move(companion);
    }
    if (!target)
        target = gui::GetSaveFolderItem(QLatin1String(document.fileTypeName), QLatin1String(document.dialogName));
    if (!target)
        return;
    const QString whyNot = gui::writeWholeTextFile(target, document.text);
    if (!whyNot.isEmpty()) {
        warnNotSaved(target, whyNot);
        return;
    }
    document.own = target;
}

}  // namespace

namespace Module1 {

TWKWin* NewTWK()
{
    auto* window = gui::Window::make<TWKWin>();
    window->Show();
    return window;
}

TWKWin* OpenTWK(const gui::FolderItemPtr& file)
{
    const gui::FolderItemPtr chosen = file ? file : gui::GetOpenFolderItem(QStringLiteral("CFILE"));
    if (!chosen)
        return nullptr;
    QString whyNot;
    auto stream = gui::TextInputStream::Open(chosen, &whyNot);
    if (!stream) {
        gui::ShowWarning(QStringLiteral("Could not open \"%1\".").arg(chosen->path()), whyNot);
        return nullptr;
    }
    const QString text = stream->ReadAll();
    stream->Close();

    auto* window = gui::Window::make<TWKWin>();
    window->Show();
    window->cEF()->setText(text);
    window->mCFile = chosen;
    window->SetTitle();
    return window;
}

}  // namespace Module1

void TWKWin::NewBB_Action(gui::BevelButton*)
{
    Module1::NewTWK();
}

void TWKWin::OpenBB_Action(gui::BevelButton*)
{
    Module1::OpenTWK();
}

void TWKWin::SaveBB_Action(gui::BevelButton*)
{
    if (CSaveCB()->Value())
        SaveTWK();
    if (BSaveCB()->Value())
        SaveBASIC();
    SetTitle();
}

void TWKWin::SaveBB1_Action(gui::BevelButton*)
{
    SetWin::shared()->Show();
}

void TWKWin::SaveTWK()
{
    save({mCFile, mBFile, ".c", "CFILE", "Untitiled.c", cEF()->Text()});
}

void TWKWin::SaveBASIC()
{
    save({mBFile, mCFile, ".bas", "BFILE", "Untitiled.bas", bEF()->Text()});
}

void TWKWin::SetTitle()
{
    QString stem;
    if (mCFile)
        stem = stemOf(mCFile);
    else if (mBFile)
        stem = stemOf(mBFile);
    if (!stem.isEmpty())
        setTitle(stem);
}
