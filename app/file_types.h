#pragma once

#include "app/gui/file_type.h"

/// The document types: C source, BASIC text and plain text.
namespace FileTypes1 {

extern gui::FileTypePtr pCFILE;
extern gui::FileTypePtr pBFILE;
extern gui::FileTypePtr pTFILE;

/// Defines and registers the three types, CFILE, BFILE, TFILE in that order.
void _Initialize();
/// Releases (and so deregisters) them: BFILE, CFILE, TFILE.
void release();

}  // namespace FileTypes1
