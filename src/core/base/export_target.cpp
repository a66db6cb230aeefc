#include "core/base/export_target.h"

#include "core/base/file_error.h"
#include "core/base/program_constants.h"
#include "core/base/text_file.h"

namespace dxcc {

namespace {

bool namesProgramFile(const std::filesystem::path& dataDir, const std::filesystem::path& file) {
    std::error_code ec;
    const std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
    if (!std::filesystem::equivalent(folder, dataDir, ec) || ec) return false;
    return isProgramFileName(file.filename().string());
}

}  // namespace

bool isProgramFile(const std::filesystem::path& dataDir, const std::filesystem::path& file) {
    if (namesProgramFile(dataDir, file)) return true;
    // The export writes through a link to the file it leads to.
    try {
        return namesProgramFile(dataDir, followLinks(file));
    } catch (const FileError&) {
        return false;  // a looping link: the export refuses it itself
    }
}

std::filesystem::path exportScratchFor(const std::filesystem::path& file) {
    std::filesystem::path scratch = file;
    scratch += ".tmp";
    return scratch;
}

void writeExportFile(const std::filesystem::path& file, std::string_view bytes) {
    rewriteFile(file, exportScratchFor(file), bytes);
}

}  // namespace dxcc
