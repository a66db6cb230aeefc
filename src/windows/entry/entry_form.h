#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <functional>
#include <optional>
#include <string_view>

#include "core/base/file_error.h"
#include "core/entry/entry_state.h"
#include "core/entry/field_checks.h"
#include "core/session/log_session.h"
#include "platform/app_context.h"
#include "windows/common/log_list_model.h"
#include "windows/entry/needed_panel.h"

namespace ui {

// The main list the entry form works with.
struct EntryEnvironment {
    QListView* list = nullptr;  // Liste_DXCC
    LogListModel* model = nullptr;
};

// The frame "Saisie ou modification d'un QSO": the entry fields, the mode
// caption and the entry buttons. Each field checks its text on Enter and hands
// the focus on; the commit writes the contact through the log operations.
class EntryForm : public QGroupBox {
    Q_OBJECT
public:
    EntryForm(AppContext& ctx, dxcc::LogSession& session, EntryEnvironment env,
              QWidget* parent = nullptr);

    // The entry reset: empty fields, back to "Saisie QSO".
    void Efface_QSO();
    // Selects the band and mode positions stored for the station.
    void restoreBandAndMode();
    // Selects a list row by program; handled like a click by the operator, even
    // when the row already was the current one.
    void selectRow(int row);
    // Selects the list's last line as a program would, and shows it.
    void selectLastListLine();
    // Gives the callsign field the focus, ready for the next contact.
    void focusCallsign();
    // Empties the date field (the automatic date fills it again).
    void clearDate() { Date_A->clear(); }
    const dxcc::EntryState& state() const { return state_; }
    // Plain entry of a new contact: nothing opened for modification, no
    // insertion. Only then do the radio and the cluster fill the form.
    bool inEntryMode() const;
    // Band and mode chosen by the radio or a spot: the band as an item of its
    // box or as the log's label of a band the box lacks ("60M"), which stays
    // shown after each reset until the radio leaves it; the mode by position.
    void selectBandAndMode(const QString& band, std::optional<size_t> mode);
    // A spot chosen in the cluster: its band and mode, then its callsign as if
    // typed and entered. Refused (false) outside plain entry.
    bool takeSpot(const QString& callsign, const QString& band, std::optional<size_t> mode);
    // A callsign chosen elsewhere (the station a digital-mode program calls):
    // shown as if typed, so the needed panel answers for it. Refused (false)
    // outside plain entry.
    bool showCallsign(const QString& callsign);
    // A contact logged elsewhere, as the log stores it, shown in every field
    // for the operator to commit with Enter (the focus on the commit button).
    // Refused (false) outside plain entry or while a callsign is typed.
    bool takeContact(std::string_view record);
    // The needed panel for the callsign being typed (or the prefix field once
    // filled for it) and the band and mode in their boxes.
    void showNeeded();

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
    QPushButton* Rechercher;
    NeededPanel* Besoin_DXCC;

signals:
    // The operator asks for the prefix statistics, or for the search.
    void prefixStatisticsWanted();
    void searchWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields();
    void buildButtons();
    void watchKeysAndList();
    // Selects the position the settings keep for the box.
    void selectStoredPosition(QComboBox* box);
    void restoreBand();
    void selectBand(const QString& band);
    static bool showsItem(const QComboBox* box, int index);
    std::string neededPrefix(const std::string& callsign) const;
    void callsignEdited();
    bool automaticDate() const;
    bool firstInstallation() const;

    // Keys and Enter, field by field.
    bool boxKey(QComboBox* box, bool enter);
    // The settings keep the box's position when the operator chose it.
    void saveBoxPosition(QComboBox* box, bool enter);
    // The text a box took from the line last shown, while it still shows it.
    std::optional<QString>& shownFromLine(QComboBox* box);
    void enterIn(QObject* field);
    bool enterChecked(QWidget* field, dxcc::EntryField kind, QWidget* next);
    void enterCallsign();
    void enterFirstName();
    void recallFirstName(const std::string& callsign);
    void resolveCallsign(const std::string& callsign);
    // Paints `from` at rest and makes `next` the field that awaits input.
    void moveTo(QWidget* from, QWidget* next);
    // `field` awaits input: the input colour, the focus; the field that awaited
    // input before goes back to the rest colour.
    void makeInputField(QWidget* field);
    bool refused(std::optional<std::string_view> message);
    void tell(std::string_view message);
    void reportFileError(const dxcc::FileError& e);

    // Commit and modes.
    void commit();
    bool storeContact();
    // Shows what a command of the session did; answers whether it succeeded.
    bool showOutcome(const dxcc::SessionOutcome& outcome);
    void postCommitReset(bool selectLastLine);
    // The reports back to 59 and the QSL box unticked, all at rest.
    void resetReports();
    void deleteContact();
    void startInsertion();
    void showCaption();
    void disableCommit();
    void logChanged();
    dxcc::EntryTexts entryTexts() const;
    QWidget* fieldOf(dxcc::EntryField field) const;

    // The list.
    void listClicked(const QModelIndex& index);
    void listDoubleClicked();
    void showRecord(std::string_view record);

    AppContext& ctx_;
    dxcc::LogSession& session_;
    EntryEnvironment env_;
    QPalette commitPalette_;
    QObject* listViewport_ = nullptr;
    QPointer<QWidget> inputField_;
    bool prefixFileReported_ = false;
    dxcc::EntryState state_;
    std::optional<QString> bandFromLine_;
    std::optional<QString> modeFromLine_;
    // The radio's band when the band list lacks it.
    std::optional<QString> radioBand_;
    // The callsign the prefix field was last filled for.
    QString prefixFieldCallsign_;
};

}  // namespace ui
