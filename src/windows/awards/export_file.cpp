#include "windows/awards/export_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QStringList>

#include "core/awards/award_tools_messages.h"
#include "platform/text.h"
#include "windows/common/outcome_display.h"

namespace ui {

namespace msg = dxcc::award_tools_messages;

ExportWriter exportWriter(dxcc::LogSession& session) {
    return [&session](const std::filesystem::path& file, std::string_view bytes) {
        return session.exportFile(file, bytes);
    };
}

QString saveExport(AppContext& ctx, const ExportWriter& write, const QString& caption,
                   const QString& filter, const QString& suffix, const std::string& bytes) {
    QString file = ctx.dialogs->saveFile(caption, filter);
    if (file.isEmpty()) return {};
    if (QFileInfo(file).suffix().isEmpty()) file += suffix;
    const dxcc::SessionOutcome outcome = write(toPath(file), bytes);
    if (!outcome.ok()) {
        QStringList told = outcomeTexts(outcome);
        told << fromView(msg::kExportNotWritten);
        ctx.dialogs->inform(told.join("\r\n"));
        return {};
    }
    ctx.dialogs->inform(fromView(msg::kExportedTo) + QFileInfo(file).absoluteFilePath(), caption);
    return file;
}

QString savePicture(AppContext& ctx, const ExportWriter& write, QWidget& widget) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    widget.grab().save(&buffer, "PNG");
    return saveExport(ctx, write, fromView(msg::kExportPng), fromView(msg::kPngFilter),
                      fromView(msg::kPngSuffix), bytes.toStdString());
}

}  // namespace ui
