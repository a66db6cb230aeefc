#include "windows/main/recompute_window.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/session/recompute_messages.h"
#include "platform/busy_pointer.h"
#include "platform/column_list.h"
#include "platform/text.h"
#include "windows/common/outcome_display.h"

namespace ui {

namespace msg = dxcc::recompute_messages;

bool runEntityRecompute(AppContext& ctx, dxcc::LogSession& session, LogListModel& model,
                        QWidget* parent) {
    BusyPointer busy;
    bool shown = false;
    const dxcc::RecomputeOutcome outcome =
        session.recomputeEntities([&](const dxcc::EntityRecompute& plan) {
            QStringList lines;
            for (const std::string& line : dxcc::recomputeSummaryLines(plan))
                lines << fromView(line);
            busy.end();
            shown = true;
            RecomputeDialog dialog(lines, parent);
            return dialog.exec() == QDialog::Accepted;
        });
    busy.end();
    if (!showLogOutcome(*ctx.dialogs, model, outcome)) return false;
    // Nothing to change: said, since no summary was shown.
    if (!shown && outcome.plan)
        ctx.dialogs->inform(fromView(dxcc::recomputeSummaryLines(*outcome.plan).front()));
    return outcome.saved;
}

RecomputeDialog::RecomputeDialog(const QStringList& lines, QWidget* parent) : QDialog(parent) {
    setObjectName("Recalcul_Contrees");
    setWindowTitle(fromView(msg::kMenuItem));
    Nombre_Changements = new QLabel(lines.value(0), this);
    Nombre_Changements->setObjectName("Nombre_Changements");
    Texte_Resume = new QPlainTextEdit(lines.mid(1).join("\n"), this);
    Texte_Resume->setObjectName("Texte_Resume");
    Texte_Resume->setReadOnly(true);
    Texte_Resume->setLineWrapMode(QPlainTextEdit::NoWrap);
    Texte_Resume->setFont(columnListFont());
    Texte_Resume->setTabChangesFocus(true);
    Enregistrer = new QPushButton(fromView(msg::kSaveButton), this);
    Enregistrer->setObjectName("Enregistrer");
    Annuler = new QPushButton(fromView(msg::kCancelButton), this);
    Annuler->setObjectName("Annuler");
    Annuler->setDefault(true);
    connect(Enregistrer, &QPushButton::clicked, this, &QDialog::accept);
    connect(Annuler, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Enregistrer);
    buttons->addWidget(Annuler);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Nombre_Changements);
    layout->addWidget(Texte_Resume, 1);
    layout->addLayout(buttons);
    const QFontMetrics fm(Texte_Resume->font());
    // Room for a callsign, a date and two entities, and a screenful of lines.
    constexpr int kColumns = 90;
    constexpr int kLines = 20;
    resize(fm.horizontalAdvance(QString(kColumns, '0')) + 40, fm.lineSpacing() * kLines + 100);
    Annuler->setFocus();
}

}  // namespace ui
