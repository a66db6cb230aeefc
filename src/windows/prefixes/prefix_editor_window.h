#pragma once

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

#include "core/base/file_error.h"
#include "core/prefixes/prefix_entries.h"
#include "core/session/log_session.h"
#include "platform/app_context.h"
#include "platform/uniform_list_view.h"

namespace ui {

class PrefixListModel;

// "Ajout_Prefixe": adds, edits and deletes the entries of the prefix file and,
// with "Indicatif exact" ticked, the whole callsigns of the exact-call file,
// which the list then shows. Every save rewrites the whole file from the
// sorted list (both files together when both changed), and the callsign
// lookup sees it at once.
class PrefixEditorWindow : public QWidget {
    Q_OBJECT
public:
    PrefixEditorWindow(AppContext& ctx, dxcc::LogSession& session, QWidget* parent = nullptr);
    ~PrefixEditorWindow() override;

    const dxcc::PrefixEditor& editor() const { return editor_; }
    // The prefix file was replaced: read it again, as on opening.
    void reopen() { open(); }

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label9;
    QLineEdit* N_Prefixe;
    QCheckBox* Indicatif_Exact;
    QLineEdit* N_Pays;
    QLineEdit* N_DXCC;
    QPushButton* Enregistrer;
    QPushButton* Supprimer;
    QPushButton* Clear_P;
    QPushButton* Command1;
    QGroupBox* Frame1;
    UniformListView* Liste_DXCC;

signals:
    // "Liste préfixe DXCC": the operator wants the awarding body's entity list.
    void entityListWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields();
    void buildButtons(QGridLayout* grid);
    void buildList();
    void open();

    void enterIn(QLineEdit* field);
    // `field` awaits input: enabled, the input colour, the focus.
    void awaitInput(QWidget* field);
    // `field` is emptied, disabled and painted at rest.
    static void emptyAndRest(QLineEdit* field);
    QLineEdit* fieldOf(dxcc::PrefixField field) const;
    dxcc::PrefixFields fieldTexts() const;
    void showFields(const dxcc::PrefixFields& fields);

    // The list of the exact calls, or of the prefixes, shown and edited.
    void showExactCalls(bool exact);
    void clicked(const QModelIndex& index);
    void doubleClicked(const QModelIndex& index);
    void removeSelected();
    void save();
    void afterSave();
    void showSelection();
    void clearInputs();
    void tell(const QString& text);

    AppContext& ctx_;
    dxcc::LogSession& session_;
    dxcc::PrefixEditor editor_;
    PrefixListModel* model_ = nullptr;
};

}  // namespace ui
