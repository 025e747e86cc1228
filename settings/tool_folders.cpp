#include "settings/tool_folders.h"

namespace Module1 {

gui::FolderItemPtr gTarnwickFolder;
gui::FolderItemPtr gArmNoneFolder;
gui::FolderItemPtr gPythonFolder;
gui::FolderItemPtr gSettingFile;

}  // namespace Module1
