#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <functional>

#include "logbook/log_list_model.h"
#include "ui/app_context.h"

namespace ui {

// What the entry form reads and calls on the main window.
struct EntryEnvironment {
    QLabel* utcDateLabel = nullptr;  // Label33, "dd/mm/yy"
    QLabel* utcTimeLabel = nullptr;  // Label37, "hh:mm Utc"
    QAction* dateAuto = nullptr;     // Mnu_Date_Auto, ticked = automatic date
    QListView* list = nullptr;       // Liste_DXCC
    LogListModel* model = nullptr;
    // Station callsign in stored form.
    std::function<std::string()> stationCallsign;
    // Runs a log operation; on a file error tells the operator and answers false.
    std::function<bool(const std::function<void()>&)> runLogOperation;
    // Opens the prefix statistics window.
    std::function<void()> openPrefixStatistics;
};

// The frame "Saisie ou modification d'un QSO": the entry fields, the mode
// caption and the entry buttons.
class EntryForm : public QGroupBox {
    Q_OBJECT
public:
    EntryForm(AppContext& ctx, EntryEnvironment env, QWidget* parent = nullptr);

    // The entry reset: empty fields, back to "Saisie QSO".
    void Efface_QSO();
    // Selects the band and mode positions stored for the station.
    void restoreBandAndMode();
    // Selects a list row by program; handled like a click by the operator.
    void selectRow(int row);
    // Row of the buttons, so the main window can add its own.
    QHBoxLayout* buttonRow() const { return buttonRow_; }

    QComboBox* Bande_A;
    QComboBox* Mode_A;
    QLineEdit* Ind_A;
    QLineEdit* Prenom_A;
    QLineEdit* Date_A;
    QLineEdit* Heure_A;
    QLineEdit* RST_A;
    QLineEdit* RSTE_A;
    QCheckBox* QSL_A;
    QLineEdit* Prefixe_A;
    QLineEdit* Pays_A;
    QLabel* Mode_Aff;
    QPushButton* Valide_A;
    QPushButton* Efface_A;
    QPushButton* Annule_Saisie;
    QPushButton* Ajout_QSO;
    QPushButton* Stat_Pref;

private:
    void buildFields();
    void buildButtons();
    QString stationSection() const;
    void selectStoredPosition(QComboBox* box, const char* key);

    AppContext& ctx_;
    EntryEnvironment env_;
    QHBoxLayout* buttonRow_ = nullptr;
};

}  // namespace ui
