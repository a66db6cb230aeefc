#pragma once

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

#include "core/session/log_session.h"
#include "platform/app_context.h"
#include "windows/common/log_list_model.h"

namespace ui {

// "Recalculer les contrées du log": every QSO looked up again, the summary
// the operator saves or cancels, then one rewrite of the log; the main list,
// and through it every window that follows the log, follow the change.
// Answers whether the log changed.
bool runEntityRecompute(AppContext& ctx, dxcc::LogSession& session, LogListModel& model,
                        QWidget* parent);

// What the recompute would change: the count, then each change in a text the
// operator can read and copy. Rewriting the log is a choice: Enter and
// Escape cancel, saving takes choosing "Enregistrer".
class RecomputeDialog : public QDialog {
    Q_OBJECT
public:
    RecomputeDialog(const QStringList& lines, QWidget* parent);

    QLabel* Nombre_Changements;
    QPlainTextEdit* Texte_Resume;
    QPushButton* Enregistrer;
    QPushButton* Annuler;
};

}  // namespace ui
