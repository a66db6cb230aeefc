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

#include "windows/adif/import_window.h"
#include "core/awards/award_evaluation.h"
#include "windows/entry/entry_form.h"
#include "windows/common/log_list_model.h"
#include "core/session/log_session.h"
#include "platform/app_context.h"
#include "platform/splash.h"
#include "platform/uniform_list_view.h"

namespace ui {

class OnAir;

// "Main": station label, clock, entry form, the main list of the log and the
// menu bar from which every other window is reached.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(AppContext& ctx, dxcc::LogSession& session, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The whole start-up: settings, first installation, log load, entry reset.
    void startUp();

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
    // The cluster window and the radio.
    OnAir* onAir() { return onAir_; }
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
    QPushButton* Rechercher;
    QTimer* Timer1;

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
    QAction* Mnu_Tableau_DXCC;
    QAction* Mnu_Progression;
    QAction* Mnu_Carte;
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
    void openAwardWindow(dxcc::AwardWindow kind);
    void openSearch();
    void openPrefixStatistics();
    void openPrefixEditor();
    // A new country file: the prefixes and entity data it brings, then every
    // window that shows them follows.
    void updatePrefixes();
    // The open windows that show the entities (table, map) read them again.
    void refreshEntityWindows();
    class DxccTableWindow* openDxccTable();
    void openProgressChart();
    void openWorldMap();
    QString stationSection() const;
    QString globalSection() const;
    void centreOnScreen();

    AppContext& ctx_;
    dxcc::LogSession& session_;
    LogListModel* model_;
    EntryForm* entry_ = nullptr;
    OnAir* onAir_ = nullptr;
    std::unique_ptr<Flash> flash_;
    bool suppressSplash_ = false;
    QString revision_;
    QString history_;
    QMap<QString, QPointer<QWidget>> openWindows_;
};

}  // namespace ui
