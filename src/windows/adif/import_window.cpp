#include "windows/adif/import_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QProgressDialog>
#include <QVBoxLayout>

#include "core/adif/adif_import.h"
#include "core/adif/adif_messages.h"
#include "platform/busy_pointer.h"
#include "platform/column_list.h"
#include "platform/text.h"
#include "windows/adif/adif_file_filter.h"
#include "windows/common/outcome_display.h"

namespace ui {

namespace msg = dxcc::adif_messages;

namespace {

// Busy pointer and splash for as long as the import runs.
class BusyImport {
public:
    explicit BusyImport(Flash* flash) : flash_(flash) {
        if (flash_) flash_->showMessage(fromView(msg::kSplashLine1), fromView(msg::kSplashLine2));
    }
    ~BusyImport() { end(); }
    void end() {
        if (ended_) return;
        ended_ = true;
        if (flash_) flash_->hide();
        pointer_.end();
    }

private:
    BusyPointer pointer_;
    Flash* flash_;
    bool ended_ = false;
};

QStringList linesOf(const dxcc::adif::ImportReport& report) {
    QStringList out;
    for (const std::string& line : dxcc::adif::reportLines(report)) out << fromView(line);
    return out;
}

}  // namespace

bool runAdifImport(AppContext& ctx, dxcc::LogSession& session, const ImportEnvironment& env,
                   QWidget* parent) {
    if (!env.model) return false;
    BusyImport busy(env.flash);
    if (env.resetEntry) env.resetEntry();
    const QString file = ctx.dialogs->openFile(fromView(msg::kMenuItem), adifFileFilter());
    if (file.isEmpty()) {
        busy.end();
        ctx.dialogs->inform(fromView(msg::kNoFileChosen));
        return false;
    }

    QProgressDialog progress(fromView(msg::kSplashLine1), "Annuler", 0, 1000, parent);
    progress.setObjectName("Progression_Import");
    progress.setWindowTitle(fromView(msg::kMenuItem));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const auto onProgress = [&](size_t records, size_t bytesRead, size_t bytesTotal) {
        progress.setValue(bytesTotal ? static_cast<int>(bytesRead * 1000 / bytesTotal) : 0);
        progress.setLabelText(QString("%1 QSO lus").arg(records));
        QApplication::processEvents();
        return !progress.wasCanceled();
    };

    const dxcc::ImportOutcome outcome = session.importAdif(toPath(file), onProgress);
    progress.reset();
    busy.end();
    if (!showLogOutcome(*ctx.dialogs, *env.model, outcome) || !outcome.import) return false;
    const dxcc::adif::LogImport* result = &*outcome.import;
    if (outcome.cancelled) {
        ctx.dialogs->inform(fromView(msg::kCancelled) + "\r\n" + fromView(msg::kLogUnchanged));
        return false;
    }
    if (env.selectLastLine) env.selectLastLine();
    auto* report =
        new ImportReportWindow(linesOf(result->imported.report), fromView(msg::kMenuItem), parent);
    report->show();
    return result->imported.report.qsos > 0;
}

ImportReportWindow::ImportReportWindow(const QStringList& lines, const QString& title,
                                       QWidget* parent)
    : QDialog(parent) {
    setObjectName("Rapport_Import");
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    Texte_Rapport = new QPlainTextEdit(lines.join("\n"), this);
    Texte_Rapport->setObjectName("Texte_Rapport");
    Texte_Rapport->setReadOnly(true);
    Texte_Rapport->setLineWrapMode(QPlainTextEdit::NoWrap);
    Texte_Rapport->setFont(columnListFont());  // lists of QSOs stand in columns
    Copier = new QPushButton("Copier", this);
    Copier->setObjectName("Copier");
    Fermer = new QPushButton("Fermer", this);
    Fermer->setObjectName("Fermer");
    connect(Copier, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(Texte_Rapport->toPlainText()); });
    connect(Fermer, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Copier);
    buttons->addWidget(Fermer);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Texte_Rapport);
    layout->addLayout(buttons);
    const QFontMetrics fm(Texte_Rapport->font());
    // Room for the longest message line of the reports, in the column font.
    constexpr int kColumns = 76;
    resize(fm.horizontalAdvance(QString(kColumns, '0')) + 60, fm.lineSpacing() * 16 + 80);
    Fermer->setFocus();
}

}  // namespace ui
