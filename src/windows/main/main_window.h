#pragma once

#include <QAction>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QMap>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "core/awards/award_evaluation.h"
#include "core/session/log_session.h"
#include "platform/app_context.h"
#include "platform/splash.h"
#include "platform/uniform_list_view.h"
#include "windows/adif/import_window.h"
#include "windows/cluster/live_links.h"
#include "windows/common/log_list_model.h"
#include "windows/entry/entry_form.h"

namespace ui {

// "Main": station label, clock, entry form, the main list of the log and the
// menu bar from which every other window is reached.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(AppContext& ctx, dxcc::LogSession& session, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The windows' part of the start (see LogSession::startUp): the window
    // where it was, the station asked for at a first installation, the log
    // loaded, the entry reset, the radio and cluster started.
    void startUp(const dxcc::StartUpOutcome& start);

    // Loads the station's log into the main list. A missing log opens the
    // recovery window; any other failure shows its error number and ends the
    // program. Answers whether the log was loaded.
    bool loadLog();
    // Selects the list's last line (handled like a click); nothing when empty.
    void selectLastLine();
    // Shows the awarding body's DXCC entity list (opened from the prefix editor).
    void openArrlList();
    // Selects a line of the main list as a click does, and scrolls it into view
    // (a contact chosen in the search).
    void showLogRow(int row);
    // Makes `callsign` (stored form) the station, creating its empty log if needed.
    void switchStation(const std::string& callsign);

    const dxcc::Logbook& logbook() const { return session_.log(); }
    dxcc::LogSession& session() { return session_; }
    EntryForm* entryForm() { return entry_; }
    // The cluster and the radio.
    LiveLinks* liveLinks() { return links_; }
    const QString& historyText() const { return history_; }

    QLabel* I_Station;
    QLabel* Label33;  // UTC date
    QLabel* Label37;  // UTC time
    QLabel* Label34;  // local time
    // Status bar: QSOs in the log, Mixed entities worked and confirmed.
    QLabel* Barre_Etat = nullptr;
    QLabel* Label_Liste_DXCC;
    QLabel* L_Communes;
    UniformListView* Liste_DXCC;
    QTimer* Timer1;
    QLabel* Etat_Radio;  // what the radio says of itself
    // Contacts from WSJT-X or JTDX that wait to be written in the log.
    QLabel* Etat_WSJTX;

    QMenu* Mnu_Fichier;
    QAction* Mnu_Quitter;
    QAction* Mnu_RAZ;
    QAction* Mnu_Import_ADIF;
    QAction* Mnu_Export_ADIF;
    QAction* Mnu_Import_LoTW;
    QMenu* Nmu_Options;
    QAction* Mnu_Date_Auto;
    QAction* Mnu_Date_Man;
    QMenu* Mnu_Station;
    QAction* Mnu_New_Indicatif;
    QAction* Mnu_Locator;
    QMenu* Mnu_Outils;
    QAction* Mnu_Ajout_Prefixe;
    QAction* Mnu_Maj_Prefixes;
    QAction* Mnu_Recalcul_Contrees;
    QAction* Mnu_Tableau_DXCC;
    QAction* Mnu_Progression;
    QAction* Mnu_Carte;
    QAction* Mnu_Cluster;
    QAction* Mnu_Reglages_Cluster;
    QAction* Mnu_Reglages_Radio;
    QAction* Mnu_Trafic_Numerique;
    QAction* Mnu_DXCC_Mixed;
    QAction* Mnu_DXCC_SSB;
    QAction* Mnu_DXCC_Bande;
    QAction* Mnu_DXCC_5_Bandes;
    QAction* Mnu_DXCC_Sat;
    QAction* Mnu_Reglement;
    QMenu* Mnu_Aide;
    QAction* Mnu_Historique;
    QAction* Mnu_A_Propos;
    QAction* Mnu_Aide_Clavier;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Keeps the window's size and place for the next start.
    void saveGeometryNow();
    void buildStatusRow(QWidget* central);
    void buildList(QWidget* central);
    void buildMenus();
    // The cluster and the radio: their menu items and status, and what they
    // bring to the entry form.
    void buildLiveLinks();
    // The digital-mode programs: their menu item, and the contacts they log.
    void buildDigitalLink();
    void showContactsLogged(const dxcc::AutoLogOutcome& outcome);
    // A contact to log that waits for the operator goes into the entry form
    // once the form is free.
    void offerContactToConfirm();
    void tick();
    void showLogCounts();
    void setDateAuto(bool automatic);
    // Ticks the date menu item the station's setting says.
    void showDateMode();
    void resetLog();
    void openStationWindow(bool modal);
    void showRecovery();
    void importAdif();
    ImportEnvironment importEnvironment();
    void showAbout();
    void showHistory();
    // Opens the window `name`, or shows it again when it is already open.
    void openWindow(const QString& name, const std::function<QWidget*()>& create,
                    int belowCentre = 0);
    void openAwardWindow(dxcc::AwardFamily kind);
    void openSearch();
    void openPrefixStatistics();
    void openPrefixEditor();
    // A new country file: the prefixes and entity data it brings, then every
    // window that shows them follows.
    void updatePrefixes();
    void recomputeEntities();
    // The open windows that show the entities (table, map) read them again.
    void refreshEntityWindows();
    class DxccTableWindow* openDxccTable();
    void openProgressChart();
    void openWorldMap();
    void centreOnScreen();

    AppContext& ctx_;
    dxcc::LogSession& session_;
    LogListModel* model_;
    EntryForm* entry_ = nullptr;
    LiveLinks* links_ = nullptr;
    std::unique_ptr<Flash> flash_;
    bool suppressSplash_ = false;
    QString revision_;
    QString history_;
    QMap<QString, QPointer<QWidget>> openWindows_;
};

}  // namespace ui
