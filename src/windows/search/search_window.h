#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <array>

#include "core/session/log_session.h"
#include "core/search/qso_search.h"
#include "platform/app_context.h"
#include "platform/uniform_list_view.h"

namespace ui {

class SearchResultsModel;

// "Recherche_Indicatif": finds the contacts of the log by callsign, date or
// prefix. A double-click on a result hands its log row to the main window and
// closes the search.
class SearchWindow : public QWidget {
    Q_OBJECT
public:
    // `mainList` is the main list's model, whose changes the results follow.
    SearchWindow(AppContext& ctx, dxcc::LogSession& session, QAbstractItemModel* mainList,
                 QWidget* parent = nullptr);

    QGroupBox* Frame1;
    QLabel* Label3;
    // The option group: Option1[0] "Indicatif", [1] "Date", [2] "Préfixe"
    // (the classic indices 1 to 3, in the object names "Option1(1)" to "Option1(3)").
    std::array<QRadioButton*, 3> Option1;
    QLineEdit* Indica;
    QLineEdit* Data;
    QLineEdit* Depa;
    QLabel* Label13;
    UniformListView* QSO_Effectues;
    QPushButton* Command1;

    // Shows every QSO with the entity `dxccPrefix` (from the DXCC table).
    void showEntityQsos(const QString& dxccPrefix);

signals:
    // The operator chose this contact (0-based row of the log).
    void qsoChosen(int logRow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildChoices();
    void buildResults();
    QLineEdit* fieldOf(dxcc::SearchKind kind) const;
    std::optional<dxcc::SearchKind> kindOfField(const QObject* field) const;
    dxcc::SearchKind selectedKind() const;
    void select(dxcc::SearchKind kind);
    void enterIn(dxcc::SearchKind field);
    void apply(const dxcc::SearchOutcome& outcome);
    void choose(const QModelIndex& result);

    AppContext& ctx_;
    dxcc::LogSession& session_;
    SearchResultsModel* results_;
};

}  // namespace ui
