#include "app/file_types.h"

namespace FileTypes1 {

gui::FileTypePtr pCFILE;
gui::FileTypePtr pBFILE;
gui::FileTypePtr pTFILE;

namespace {

void define(gui::FileTypePtr& type, const char* name, const char* extension)
{
    type = std::make_shared<gui::FileType>();
    type->Name = QLatin1String(name);
    type->Extensions = QLatin1String(extension);
    type->MacType = QStringLiteral("TEXT");
    type->MacCreator = QString();
    type->toText();  // Registers the type, with all four values set.
}

void unset(gui::FileTypePtr& type)
{
    gui::FileTypePtr held = std::move(type);
    type = nullptr;
    held.reset();
}

}  // namespace

void _Initialize()
{
    define(pCFILE, "CFILE", ".c");
    define(pBFILE, "BFILE", ".bas");
    define(pTFILE, "TFILE", ".TXT");
}

void release()
{
    unset(pBFILE);
    unset(pCFILE);
    unset(pTFILE);
}

}  // namespace FileTypes1
