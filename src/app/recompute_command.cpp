#include "app/recompute_command.h"

#include "app/command_output.h"
#include "app/command_station.h"
#include "core/session/entity_recompute.h"
#include "core/session/log_session.h"
#include "platform/text.h"

namespace ui {

namespace {

constexpr std::string_view kLogUnchanged = "Le log n'a pas été modifié.";

}  // namespace

int recomputeCommand(const CommandArguments& given, const CommandDefaults& defaults,
                     std::ostream& out, std::ostream& err) {
    // Held from before the log is read until the rewrite: no other copy
    // changes it in between.
    auto opened = openStation(given, defaults, Access::Write, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    const bool dryRun = given.has("--dry-run");
    const dxcc::RecomputeOutcome result =
        session.recomputeEntities([&](const dxcc::EntityRecompute&) { return !dryRun; });
    if (!result.ok()) {
        QString text = result.fileError
                           ? plainErrorText(*result.fileError) + "\n" + fromView(kLogUnchanged)
                           : QString();
        for (const std::string& m : result.messages)
            text += (text.isEmpty() ? "" : "\n") + plainText(m);
        return failure(err, text);
    }
    for (const std::string& line : dxcc::recomputeSummaryLines(*result.plan))
        writeUtf8Line(out, line);
    if (delivered(out)) return kCommandOk;
    if (!result.saved) return failure(err, fromView(kOutputLost));
    failure(err,
            "le log a été modifié, mais son compte rendu n'a pas pu être écrit : ne relancez pas "
            "la commande.");
    return kCommandLogChangedReportLost;
}

}  // namespace ui
