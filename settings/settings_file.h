#pragma once

namespace Module1 {

/// Rewrites the settings file whole from the tool folders that are set and
/// exist, one "Key=>shell path" line each. When the file cannot be written, the
/// old one stays whole and nothing is said.
void WriteSetting();
/// Applies the settings file to the tool folders: each line with a known key
/// sets its folder, a later line overriding an earlier one, and a folder that
/// does not exist is unset. Without a readable file nothing changes.
void ReadSetting();

}  // namespace Module1
