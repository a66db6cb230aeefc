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
#include <optional>
#include <string_view>

#include "entry/field_checks.h"
#include "logbook/file_error.h"
#include "logbook/first_names.h"
#include "logbook/log_list_model.h"
#include "prefixes/prefix_table.h"
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
// caption and the entry buttons. Each field checks its text on Enter and hands
// the focus on; the commit writes the contact through the log operations.
class EntryForm : public QGroupBox {
    Q_OBJECT
public:
    EntryForm(AppContext& ctx, EntryEnvironment env, QWidget* parent = nullptr);

    // The entry reset: empty fields, back to "Saisie QSO".
    void Efface_QSO();
    // Selects the band and mode positions stored for the station.
    void restoreBandAndMode();
    // Selects a list row by program; handled like a click by the operator, even
    // when the row already was the current one.
    void selectRow(int row);
    // Row of the buttons, so the main window can add its own.
    QHBoxLayout* buttonRow() const { return buttonRow_; }
    // The display line of the contact last clicked or selected by program.
    const QString& selectedLine() const { return selectedLine_; }

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields();
    void buildButtons();
    void watchKeysAndList();
    QString stationSection() const;
    void selectStoredPosition(QComboBox* box, std::string_view key);
    bool automaticDate() const;
    bool firstInstallation() const;

    // Keys and Enter, field by field.
    bool boxKey(QComboBox* box, bool enter);
    void saveBoxPosition(QComboBox* box);
    void enterIn(QObject* field);
    bool enterChecked(QWidget* field, dxcc::EntryField kind, QWidget* next);
    void enterCallsign();
    void enterFirstName();
    void recallFirstName(const std::string& callsign);
    void resolveCallsign(const std::string& callsign);
    // Paints `from` at rest and makes `next` the field that awaits input.
    void moveTo(QWidget* from, QWidget* next);
    void makeInputField(QWidget* field);
    bool refused(std::optional<std::string_view> message);
    void tell(std::string_view message);
    void reportFileError(const dxcc::FileError& e);

    // Commit and modes.
    void commit();
    bool storeContact();
    void postCommitReset();
    void deleteContact();
    void startInsertion();
    void setModeCaption(std::string_view caption);
    void disableCommit();
    dxcc::EntryTexts entryTexts() const;
    QWidget* fieldOf(dxcc::EntryField field) const;

    // The list.
    void listClicked(const QModelIndex& index);
    void listDoubleClicked();
    void showLine(const QString& displayLine);
    void selectLastListLine();

    AppContext& ctx_;
    EntryEnvironment env_;
    QHBoxLayout* buttonRow_ = nullptr;
    QPalette commitPalette_;
    QObject* listViewport_ = nullptr;
    dxcc::PrefixFile prefixes_;
    dxcc::FirstNameMemory firstNames_;
    bool prefixFileReported_ = false;

    bool modification_ = false;
    bool insertion_ = false;
    bool listLock_ = false;
    bool selectingByProgram_ = false;
    QString selectedLine_;
};

}  // namespace ui
