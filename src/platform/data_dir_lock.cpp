#include "platform/data_dir_lock.h"

#include "platform/text.h"

namespace ui {

namespace msg = lock_messages;

DataDirLock::DataDirLock(const QString& dataDir)
    : dataDir_(dataDir), lock_(dataDir + "/" + kFileName) {
    // Held for the whole run: a lock never turns stale by its age, only when
    // the copy that holds it is gone.
    lock_.setStaleLockTime(0);
}

DataDirLock::Outcome DataDirLock::tryLock() {
    if (lock_.isLocked() || lock_.tryLock(0)) return Outcome::Held;
    return lock_.error() == QLockFile::LockFailedError ? Outcome::InUse : Outcome::Unavailable;
}

bool claimDataDir(AppContext& ctx, DataDirLock& lock) {
    switch (lock.tryLock()) {
        case DataDirLock::Outcome::Held:
            return true;
        case DataDirLock::Outcome::InUse:
            if (!ctx.dialogs->askYesNo(fromView(msg::kAlreadyOpen) + lock.dataDir() +
                                       fromView(msg::kAlreadyOpenQuestion)))
                return true;
            ctx.quit(0);
            return false;
        case DataDirLock::Outcome::Unavailable:
            ctx.dialogs->inform(fromView(msg::kCannotLock) + lock.dataDir() +
                                fromView(msg::kCannotLockEnd));
            return true;
    }
    return true;
}

}  // namespace ui
