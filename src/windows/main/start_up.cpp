#include "windows/main/start_up.h"

#include "core/session/session_messages.h"
#include "platform/text.h"
#include "windows/common/outcome_display.h"

namespace ui {

namespace msg = dxcc::lock_messages;

namespace {

// False when the operator quits.
bool tellLock(AppContext& ctx, dxcc::DataFolderLock::Outcome lock, const QString& folder) {
    switch (lock) {
        case dxcc::DataFolderLock::Outcome::Held:
            return true;
        case dxcc::DataFolderLock::Outcome::InUse:
            if (!ctx.dialogs->askYesNo(fromView(msg::kAlreadyOpen) + folder +
                                       fromView(msg::kAlreadyOpenQuestion)))
                return true;
            ctx.quit(0);
            return false;
        case dxcc::DataFolderLock::Outcome::Unavailable:
            ctx.dialogs->inform(fromView(msg::kCannotLock) + folder +
                                fromView(msg::kCannotLockEnd));
            return true;
    }
    return true;
}

}  // namespace

bool tellStartUp(AppContext& ctx, const dxcc::StartUpOutcome& start, const QString& folder) {
    if (!tellLock(ctx, start.lock, folder)) return false;
    const QStringList told = outcomeTexts(start);
    if (!told.isEmpty()) ctx.dialogs->inform(told.join("\r\n"));
    return true;
}

}  // namespace ui
