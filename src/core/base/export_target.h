#pragma once

#include <filesystem>

namespace dxcc {

// Whether `file` is one of the program's own files in the data folder
// `dataDir` (a station log, the prefix file and its base copy, the entity
// data, the first-name memory, the folder's lock, the journal, the scratch
// files), named so or reached through links: an export never writes over
// those.
bool isProgramFile(const std::filesystem::path& dataDir, const std::filesystem::path& file);

}  // namespace dxcc
