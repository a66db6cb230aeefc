#pragma once

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

#include "core/session/log_session.h"
#include "platform/app_context.h"

namespace ui {

// "Mettre à jour les préfixes (cty.dat)": the file dialog, the build, the
// summary the operator saves or cancels, then the save; whatever reads the
// prefixes or the entity data follows. Answers whether the files changed.
bool runPrefixUpdate(AppContext& ctx, dxcc::LogSession& session, QWidget* parent);

// What an update would change, in a text the operator can copy: Enter
// saves, Escape cancels. An update that removes too much comes with a
// `warning`, shown first, and Enter cancels it: saving it takes choosing
// "Enregistrer".
class PrefixUpdateDialog : public QDialog {
    Q_OBJECT
public:
    PrefixUpdateDialog(const QStringList& lines, const QString& warning, QWidget* parent);

    QLabel* Avertissement = nullptr;  // only for an update that removes too much
    QPlainTextEdit* Texte_Resume;
    QPushButton* Copier;
    QPushButton* Enregistrer;
    QPushButton* Annuler;
};

}  // namespace ui
