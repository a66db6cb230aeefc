#pragma once

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <functional>

#include "core/session/log_session.h"
#include "platform/app_context.h"
#include "platform/splash.h"
#include "windows/common/log_list_model.h"

namespace ui {

// What the import needs of the main window.
struct ImportEnvironment {
    LogListModel* model = nullptr;
    Flash* flash = nullptr;
    std::function<void()> resetEntry;      // the entry reset, band and mode restored
    std::function<void()> selectLastLine;  // the list's last line, shown as a click
};

// "Importer un fichier au format ADIF": the file dialog, the import under a
// progress bar that can cancel, the block merged into the log with one safe
// rewrite, then the gathered messages. Answers whether QSOs were imported.
bool runAdifImport(AppContext& ctx, dxcc::LogSession& session, const ImportEnvironment& env,
                   QWidget* parent);

// The closing window: the number of QSOs imported and every message the import
// had to give, gathered, in a text the operator can copy. The confirmations
// show their report in it too, under their own title.
class ImportReportWindow : public QDialog {
    Q_OBJECT
public:
    ImportReportWindow(const QStringList& lines, const QString& title, QWidget* parent);

    QPlainTextEdit* Texte_Rapport;
    QPushButton* Copier;
    QPushButton* Fermer;
};

}  // namespace ui
