#pragma once

#include "app/gui/folder_item.h"

class TWKWin;

namespace Module1 {

/// Makes and shows a new converter window bound to no file, with the sample routine.
TWKWin* NewTWK();
/// Opens a C file in a new converter window named after it. Given no file, asks
/// with the open dialog. A cancelled dialog makes no window; nor does a file
/// that cannot be read, which a warning reports. Returns the new window, or null.
TWKWin* OpenTWK(const gui::FolderItemPtr& file = nullptr);

}  // namespace Module1
