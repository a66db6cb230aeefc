#include "core/awards/dxcc_table.h"
#include "windows/adif/confirmation_command.h"

#include <optional>

#include "core/adif/adif_messages.h"
#include "core/adif/confirmation_merge.h"
#include "platform/busy_pointer.h"
#include "windows/main/log_operations.h"
#include "platform/text.h"

namespace ui {

namespace msg = dxcc::adif_messages;

namespace {

QString fileFilter() {
    return fromView(msg::kFileFilterName) + " (" + fromView(msg::kFileFilterPattern) + ")";
}

}  // namespace

bool runConfirmationImport(AppContext& ctx, dxcc::LogSession& session, const ImportEnvironment& env,
                           QWidget* parent) {
    if (!env.model) return false;
    const QString file = ctx.dialogs->openFile(fromView(msg::kConfirmMenuItem), fileFilter());
    if (file.isEmpty()) return false;
    // A contact open for modification would no longer be what the file holds.
    if (env.resetEntry) env.resetEntry();

    BusyPointer busy;
    if (env.flash)
        env.flash->showMessage(fromView(msg::kConfirmSplashLine1),
                               fromView(msg::kConfirmSplashLine2));
    std::optional<dxcc::adif::LogConfirmation> result;
    auto table = [&session] {
        return dxcc::dxccTableOf(session.prefixes().table(), session.needed(),
                                 session.entityData());
    };
    const dxcc::DxccTable before = table();
    const bool done = runLogOperation(*ctx.dialogs, *env.model, [&] {
        result =
            dxcc::adif::confirmIntoLog(session.log(), toPath(file), session.prefixes().table());
        return result->change;
    });
    if (env.flash) env.flash->hide();
    busy.end();
    if (!done || !result) return false;

    QStringList lines;
    for (const std::string& line : dxcc::adif::confirmationReportLines(result->report))
        lines << fromView(line);
    const std::string confirmed = dxcc::newlyConfirmedLine(before, table());
    if (!confirmed.empty()) lines << fromCp1252(confirmed);
    auto* report = new ImportReportWindow(lines, fromView(msg::kConfirmMenuItem), parent);
    report->setObjectName("Rapport_Confirmations");
    report->show();
    return true;
}

}  // namespace ui
