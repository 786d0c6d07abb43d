#pragma once
// The pack command's work: every file below a folder becomes one entry of a resource
// pack, named by its path inside the folder with forward slashes ("Textures/Box.png")
// and dated from the file's modification time (UTC, whole seconds), so that of a packed
// copy and a loose copy of one name the newer wins, as between two loose copies.
// Entries are compressed when that saves bytes and scrambled otherwise. Other packs
// (*.resources) below the folder are left out: a pack inside a pack is never mounted.
#include <string>

namespace PackTool {

// Writes the pack of `folder` to `output`; false with `error` set when the folder
// cannot be read, holds a file the format cannot take (4 GB or more in all), or the
// pack cannot be written. The output itself is never packed, even inside the folder.
bool PackFolder(const std::string& folder, const std::string& output, std::string& error);

}  // namespace PackTool
