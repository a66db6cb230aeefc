#include "windows/adif/confirmation_command.h"

#include "core/adif/adif_messages.h"
#include "core/adif/confirmation_merge.h"
#include "platform/busy_pointer.h"
#include "platform/text.h"
#include "windows/adif/adif_file_filter.h"
#include "windows/common/outcome_display.h"

namespace ui {

namespace msg = dxcc::adif_messages;

bool runConfirmationImport(AppContext& ctx, dxcc::LogSession& session, const ImportEnvironment& env,
                           QWidget* parent) {
    if (!env.model) return false;
    const QString file = ctx.dialogs->openFile(fromView(msg::kConfirmMenuItem), adifFileFilter());
    if (file.isEmpty()) return false;
    // A contact open for modification would no longer be what the file holds.
    if (env.resetEntry) env.resetEntry();

    BusyPointer busy;
    if (env.flash)
        env.flash->showMessage(fromView(msg::kConfirmSplashLine1),
                               fromView(msg::kConfirmSplashLine2));
    const dxcc::ConfirmOutcome outcome = session.applyConfirmations(toPath(file));
    if (env.flash) env.flash->hide();
    busy.end();
    if (!showLogOutcome(*ctx.dialogs, *env.model, outcome) || !outcome.report) return false;

    QStringList lines;
    for (const std::string& line : dxcc::adif::confirmationReportLines(*outcome.report))
        lines << fromView(line);
    if (!outcome.newlyConfirmed.empty()) lines << fromCp1252(outcome.newlyConfirmed);
    auto* report = new ImportReportWindow(lines, fromView(msg::kConfirmMenuItem), parent);
    report->setObjectName("Rapport_Confirmations");
    report->show();
    return true;
}

}  // namespace ui
