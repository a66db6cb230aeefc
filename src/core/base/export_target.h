#pragma once

#include <filesystem>
#include <string_view>

namespace dxcc {

// Whether `file` is one of the program's own files in the data folder
// `dataDir` (a station log, the prefix file and its base copy, the entity
// data, the first-name memory, the folder's lock, the journal, the scratch
// files), named so or reached through links: an export never writes over
// those.
bool isProgramFile(const std::filesystem::path& dataDir, const std::filesystem::path& file);

// What the operator is told when an export names one of those (UTF-8).
inline constexpr std::string_view kExportOverProgramFile =
    "Ce fichier appartient à VEL_DXCC (log, préfixes ou prénoms) : choisissez un autre nom.";

// Where an export to `file` is written before its rename: beside it, named
// after it.
std::filesystem::path exportScratchFor(const std::filesystem::path& file);

// Writes a whole export (a CSV table, a PNG picture) to `file` by the safe
// rewrite: `file` holds its old content or the new one, whole. A name that is
// a pipe, a device or a folder is refused (error 75) and never replaced.
// Throws FileError. (Whether `file` is the program's own is the caller's
// check: isProgramFile.)
void writeExportFile(const std::filesystem::path& file, std::string_view bytes);

}  // namespace dxcc
