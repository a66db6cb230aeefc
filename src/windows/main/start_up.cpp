#include "windows/main/start_up.h"

#include "platform/file_error_text.h"
#include "platform/qt_platform.h"
#include "platform/text.h"

namespace ui {

namespace msg = lock_messages;

bool claimDataDir(AppContext& ctx, dxcc::LogSession& session) {
    const QString folder = fromPath(session.dataDir());
    switch (session.claimDataFolder()) {
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

void openDataDir(AppContext& ctx, dxcc::LogSession& session) {
    const dxcc::FolderOutcome opened = session.openDataFolder(shippedFiles());
    QStringList told;
    if (opened.fileError) told << fileErrorText(*opened.fileError);
    for (const std::string& message : opened.messages) told << fromView(message);
    if (!told.isEmpty()) ctx.dialogs->inform(told.join("\r\n"));
}

}  // namespace ui
