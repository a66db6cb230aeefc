#include "windows/common/outcome_display.h"

#include "core/logbook/log_messages.h"
#include "platform/file_error_text.h"
#include "platform/text.h"

namespace ui {

QStringList outcomeTexts(const dxcc::SessionOutcome& outcome) {
    QStringList texts;
    if (outcome.fileError) texts << fileErrorText(*outcome.fileError);
    for (const std::string& message : outcome.messages) texts << fromView(message);
    return texts;
}

bool showLogOutcome(Dialogs& dialogs, LogListModel& model, const dxcc::SessionOutcome& outcome) {
    model.follow(outcome);
    if (outcome.fileError && outcome.failure == dxcc::SessionOutcome::Failure::File)
        dialogs.inform(fileErrorText(*outcome.fileError) + "\r\n" +
                       fromView(dxcc::log_messages::kLogUnchanged));
    for (const std::string& message : outcome.messages) dialogs.inform(fromView(message));
    return outcome.ok();
}

}  // namespace ui
