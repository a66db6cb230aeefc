#include "windows/adif/export_command.h"

#include <QFileInfo>
#include <QStringList>

#include "core/adif/adif_export.h"
#include "core/adif/adif_messages.h"
#include "platform/busy_pointer.h"
#include "platform/text.h"
#include "windows/adif/adif_file_filter.h"
#include "windows/common/outcome_display.h"

namespace ui {

namespace msg = dxcc::adif_messages;

namespace {

// The save dialog of some desktops adds no suffix: the file gets ".adi".
QString withAdifSuffix(const QString& file) {
    return QFileInfo(file).suffix().isEmpty() ? file + fromView(msg::kAdifFileSuffix) : file;
}

}  // namespace

bool runAdifExport(AppContext& ctx, dxcc::LogSession& session, QWidget*) {
    // An empty log is said before the operator chooses a file for nothing.
    if (session.log().empty()) {
        ctx.dialogs->inform(fromView(msg::kExportEmptyLog));
        return false;
    }
    const QString chosen = ctx.dialogs->saveFile(fromView(msg::kExportMenuItem), adifFileFilter());
    if (chosen.isEmpty()) return false;
    const QString file = withAdifSuffix(chosen);

    BusyPointer busy;
    const dxcc::ExportOutcome outcome = session.exportLog(toPath(file));
    busy.end();
    if (!outcome.ok()) {
        tellEach(*ctx.dialogs, outcome, msg::kExportNotWritten);
        return false;
    }
    QStringList lines;
    for (const std::string& line : dxcc::adif::exportReportLines(*outcome.report))
        lines << fromView(line);
    lines << fromView(msg::kExportedTo) + QFileInfo(file).absoluteFilePath();
    ctx.dialogs->inform(lines.join("\r\n"), fromView(msg::kExportMenuItem));
    return true;
}

}  // namespace ui
