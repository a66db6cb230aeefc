#include "windows/awards/export_file.h"

#include <QFileInfo>

#include "core/awards/award_tools_messages.h"
#include "core/base/file_error.h"
#include "core/base/text_file.h"
#include "platform/file_error_text.h"
#include "platform/text.h"

namespace ui {

namespace msg = dxcc::award_tools_messages;

QString saveExport(AppContext& ctx, const QString& caption, const QString& filter,
                   const QString& suffix, const std::string& bytes) {
    QString file = ctx.dialogs->saveFile(caption, filter);
    if (file.isEmpty()) return {};
    if (QFileInfo(file).suffix().isEmpty()) file += suffix;
    const QFileInfo info(file);
    try {
        dxcc::rewriteFile(toPath(file),
                          toPath(info.absolutePath() + "/." + info.fileName() + ".tmp"), bytes);
    } catch (const dxcc::FileError& e) {
        ctx.dialogs->inform(fileErrorText(e) + "\r\n" + fromView(msg::kExportNotWritten));
        return {};
    }
    ctx.dialogs->inform(fromView(msg::kExportedTo) + info.absoluteFilePath(), caption);
    return file;
}

}  // namespace ui
