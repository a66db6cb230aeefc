#pragma once

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <functional>
#include <vector>

#include "core/awards/award_evaluation.h"
#include "core/awards/award_texts.h"
#include "core/session/log_session.h"
#include "platform/app_context.h"
#include "platform/uniform_list_view.h"

class QHBoxLayout;

namespace ui {

class AwardListModel;

// The splash window as the award windows use it.
struct AwardSplash {
    std::function<void(const QString& first, const QString& second)> show;
    std::function<void()> close;  // does nothing when it is not shown
};

// The window of one award family: DXCC Mixed, per mode, per band, 5-band or
// Satellite. They differ only by their selector, options and wording, all read
// from the evaluation core and its texts; the window shows what the core
// returns for the log in memory.
class AwardWindow : public QWidget {
    Q_OBJECT
public:
    AwardWindow(AppContext& ctx, dxcc::LogSession& session, dxcc::AwardFamily kind,
                AwardSplash splash, QWidget* parent = nullptr);

    QLabel* Label2;  // title
    // Confirmed (id 1) or contacted (id 2); named "Q_Contacte" in the
    // Satellite window. Absent from the 5-band window, which counts confirmed
    // QSOs only.
    QButtonGroup* Q_Confirme = nullptr;
    QComboBox* Mode_E = nullptr;      // per-mode window only
    QComboBox* Bande_E = nullptr;     // per-band window only
    QPushButton* Afficher = nullptr;  // absent from the 5-band window
    QLabel* Label3;                   // column headings
    UniformListView* Liste_Prefixes;
    QLabel* Label1;  // status
    QLabel* Label4;  // what is missing

    // Evaluates the chosen award in the chosen basis and shows the result.
    void evaluate();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QHBoxLayout* buildChoiceRow();
    void buildList();
    const dxcc::AwardDefinition& chosenAward() const;
    dxcc::Basis chosenBasis() const;
    void showSplash(const dxcc::AwardDefinition& award);
    void closeSplash();

    dxcc::LogSession& session_;
    const dxcc::award_texts::WindowLayout& layout_;
    std::vector<const dxcc::AwardDefinition*> awards_;
    AwardSplash splash_;
    AwardListModel* model_;
    QComboBox* selector_ = nullptr;
    bool splashShown_ = false;
    bool evaluating_ = false;
    bool evaluated_ = false;
    bool shownOnce_ = false;
};

}  // namespace ui
