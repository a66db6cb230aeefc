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

void tellEach(Dialogs& dialogs, const dxcc::SessionOutcome& outcome, std::string_view unchanged) {
    if (outcome.fileError && outcome.failure == dxcc::SessionOutcome::Failure::File)
        dialogs.inform(fileErrorText(*outcome.fileError) + "\r\n" + fromView(unchanged));
    for (const std::string& message : outcome.messages) dialogs.inform(fromView(message));
}

bool showLogOutcome(Dialogs& dialogs, LogListModel& model, const dxcc::SessionOutcome& outcome) {
    model.follow(outcome);
    tellEach(dialogs, outcome, dxcc::log_messages::kLogUnchanged);
    return outcome.ok();
}

}  // namespace ui
