#pragma once

#include <QLockFile>
#include <QString>
#include <memory>
#include <string_view>

#include "core/base/program_constants.h"
#include "platform/app_context.h"

namespace ui {

// What the operator is told about the data folder's lock (UTF-8).
namespace lock_messages {
inline constexpr std::string_view kAlreadyOpen =
    "Le log est déjà ouvert par un autre VEL_DXCC sur ce dossier de données :\r\n";
inline constexpr std::string_view kAlreadyOpenQuestion =
    "\r\n\r\nDeux programmes sur le même log effaceraient les QSO l'un de l'autre."
    "\r\nQuitter VEL_DXCC ?";
inline constexpr std::string_view kAlreadyOpenForImport =
    "le log est ouvert par VEL_DXCC : fermez-le avant d'importer. Dossier de données : ";
inline constexpr std::string_view kCannotLock =
    "Le dossier de données ne peut pas être verrouillé (lecture seule ?) :\r\n";
inline constexpr std::string_view kCannotLockEnd =
    "\r\nLes QSO ne pourront peut-être pas être enregistrés.";
}  // namespace lock_messages

// The lock file that keeps a second copy of the program off a data folder in
// use: two copies on one log would each write over the other's contacts. It
// stays held until the object goes, however long the program runs; one left
// by a copy that crashed is taken over.
class DataDirLock {
public:
    static constexpr const char* kFileName = dxcc::kLockFileName;

    explicit DataDirLock(const QString& dataDir);
    DataDirLock(const DataDirLock&) = delete;
    DataDirLock& operator=(const DataDirLock&) = delete;

    enum class Outcome {
        Held,        // this copy holds the folder
        InUse,       // another running copy holds it
        Unavailable  // no lock file can be made there (read-only folder, ...)
    };
    Outcome tryLock();
    bool held() const { return lock_.isLocked(); }
    const QString& dataDir() const { return dataDir_; }

private:
    QString dataDir_;
    QLockFile lock_;
};

// Start-up: takes the data folder's lock. When another copy holds it, says so
// and offers to quit; answers false, after ctx.quit(0), when the operator
// quits. When the folder cannot be locked, says so and goes on.
bool claimDataDir(AppContext& ctx, DataDirLock& lock);

}  // namespace ui
