#pragma once

#include <QString>

namespace Module1 {

/// Rewrites the settings file whole from the tool folders that are set and
/// exist, one "Key=>shell path" line each. A folder whose path holds a line
/// break is left out, since its entry would not read back as one line. Returns
/// whether every such folder was kept; when not, `whyNot` (if given) says why.
/// When the file cannot be written, the old one stays whole.
bool WriteSetting(QString* whyNot = nullptr);
/// Applies the settings file to the tool folders: each line with a known key
/// sets its folder, a later line overriding an earlier one, and a folder that
/// does not exist is unset. Without a readable file nothing changes.
void ReadSetting();

}  // namespace Module1
