#include "windows/adif/export_command.h"

#include <QFileInfo>
#include <QStringList>

#include "core/adif/adif_export.h"
#include "core/adif/adif_messages.h"
#include "core/base/file_error.h"
#include "platform/busy_pointer.h"
#include "platform/file_error_text.h"
#include "platform/text.h"
#include "windows/adif/adif_file_filter.h"

namespace ui {

namespace msg = dxcc::adif_messages;

namespace {

// The save dialog of some desktops adds no suffix: the file gets ".adi".
QString withAdifSuffix(const QString& file) {
    return QFileInfo(file).suffix().isEmpty() ? file + fromView(msg::kAdifFileSuffix) : file;
}

}  // namespace

bool runAdifExport(AppContext& ctx, dxcc::LogSession& session, QWidget*) {
    const dxcc::Logbook& log = session.log();
    if (log.empty()) {
        ctx.dialogs->inform(fromView(msg::kExportEmptyLog));
        return false;
    }
    const QString chosen = ctx.dialogs->saveFile(fromView(msg::kExportMenuItem), adifFileFilter());
    if (chosen.isEmpty()) return false;
    const QString file = withAdifSuffix(chosen);
    if (dxcc::adif::isDataFile(log, toPath(file))) {
        ctx.dialogs->inform(fromView(msg::kExportOverDataFile));
        return false;
    }

    BusyPointer busy;
    dxcc::adif::ExportReport report;
    try {
        report = dxcc::adif::exportLog(log, toPath(file));
    } catch (const dxcc::FileError& e) {
        busy.end();
        ctx.dialogs->inform(fileErrorText(e) + "\r\n" + fromView(msg::kExportNotWritten));
        return false;
    }
    busy.end();
    QStringList lines;
    for (const std::string& line : dxcc::adif::exportReportLines(report)) lines << fromView(line);
    lines << fromView(msg::kExportedTo) + QFileInfo(file).absoluteFilePath();
    ctx.dialogs->inform(lines.join("\r\n"), fromView(msg::kExportMenuItem));
    return true;
}

}  // namespace ui
