#include "windows/main/log_operations.h"

#include "core/base/file_error.h"
#include "core/logbook/log_messages.h"
#include "platform/file_error_text.h"
#include "platform/text.h"

namespace ui {

namespace msg = dxcc::log_messages;

bool runLogOperation(Dialogs& dialogs, LogListModel& model,
                     const std::function<dxcc::LogChange()>& operation) {
    try {
        bool reloaded = false;
        model.apply([&] {
            const dxcc::LogChange change = operation();
            reloaded = change.reloaded;
            return change;
        });
        if (reloaded) dialogs.inform(fromView(msg::kFileChangedReloaded));
        return true;
    } catch (const dxcc::FileError& e) {
        dialogs.inform(fileErrorText(e) + "\r\n" + fromView(msg::kLogUnchanged));
    } catch (const dxcc::LogLineChanged&) {
        dialogs.inform(fromView(msg::kLineChanged));
    }
    return false;
}

}  // namespace ui
