#include "windows/prefixes/prefix_update_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/prefixes/prefix_update_messages.h"
#include "platform/busy_pointer.h"
#include "platform/column_list.h"
#include "platform/qt_platform.h"
#include "platform/text.h"
#include "windows/common/outcome_display.h"

namespace ui {

namespace msg = dxcc::prefix_update_messages;

bool runPrefixUpdate(AppContext& ctx, dxcc::LogSession& session, QWidget* parent) {
    const QString file =
        ctx.dialogs->openFile(fromView(msg::kMenuItem), fromView(msg::kFileFilter));
    if (file.isEmpty()) return false;
    BusyPointer busy;
    const dxcc::PrefixUpdateOutcome outcome = session.updatePrefixes(
        toPath(file), shippedPrefixFile(), [&](const dxcc::PrefixUpdatePlan& plan) {
            QStringList lines;
            for (const std::string& line :
                 dxcc::summaryLines(plan.summary, plan.source, plan.withCsv))
                lines << fromView(line);
            busy.end();
            const QString warning = plan.summary.removesTooMuch()
                                        ? fromView(dxcc::removesManyLine(plan.summary)) + "\n" +
                                              fromView(msg::kRemovesManyWindow)
                                        : QString();
            PrefixUpdateDialog dialog(lines, warning, parent);
            return dialog.exec() == QDialog::Accepted;
        });
    busy.end();
    // The messages say what is on disk: unchanged, or which files changed.
    const QStringList told = outcomeTexts(outcome);
    if (!told.isEmpty()) ctx.dialogs->inform(told.join("\r\n"));
    return outcome.saved;
}

PrefixUpdateDialog::PrefixUpdateDialog(const QStringList& lines, const QString& warning,
                                       QWidget* parent)
    : QDialog(parent) {
    setObjectName("Mise_A_Jour_Prefixes");
    setWindowTitle(fromView(msg::kMenuItem));
    auto* question = new QLabel(fromView(msg::kQuestion), this);
    question->setObjectName("Question");
    Texte_Resume = new QPlainTextEdit(lines.join("\n"), this);
    Texte_Resume->setObjectName("Texte_Resume");
    Texte_Resume->setReadOnly(true);
    Texte_Resume->setLineWrapMode(QPlainTextEdit::NoWrap);
    Texte_Resume->setFont(columnListFont());  // prefix lines stand in columns
    Copier = new QPushButton(fromView(msg::kCopyButton), this);
    Copier->setObjectName("Copier");
    Enregistrer = new QPushButton(fromView(msg::kSaveButton), this);
    Enregistrer->setObjectName("Enregistrer");
    Annuler = new QPushButton(fromView(msg::kCancelButton), this);
    Annuler->setObjectName("Annuler");
    // The operator chose the file to update from and has read what it
    // changes; the operator's own lines are kept whatever the choice. An
    // update that guts the file is saved only by choosing the button: Enter
    // cancels it.
    QPushButton* safeAnswer = warning.isEmpty() ? Enregistrer : Annuler;
    safeAnswer->setDefault(true);
    connect(Copier, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(Texte_Resume->toPlainText()); });
    connect(Enregistrer, &QPushButton::clicked, this, &QDialog::accept);
    connect(Annuler, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Copier);
    buttons->addStretch();
    buttons->addWidget(Enregistrer);
    buttons->addWidget(Annuler);
    auto* layout = new QVBoxLayout(this);
    if (!warning.isEmpty()) {
        Avertissement = new QLabel(warning, this);
        Avertissement->setObjectName("Avertissement");
        Avertissement->setWordWrap(true);
        Avertissement->setStyleSheet("font-weight: bold; color: #b00000;");
        layout->addWidget(Avertissement);
    }
    layout->addWidget(Texte_Resume, 1);
    layout->addWidget(question);
    layout->addLayout(buttons);
    const QFontMetrics fm(Texte_Resume->font());
    // Room for a prefix line after its indent, and a screenful of lines.
    constexpr int kColumns = 84;
    constexpr int kLines = 24;
    resize(fm.horizontalAdvance(QString(kColumns, '0')) + 60, fm.lineSpacing() * kLines + 100);
    safeAnswer->setFocus();
}

}  // namespace ui
