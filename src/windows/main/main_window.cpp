#include "windows/main/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "core/adif/adif_messages.h"
#include "core/awards/award_tools_messages.h"
#include "core/awards/needed_messages.h"
#include "core/base/dates.h"
#include "core/base/file_error.h"
#include "core/base/program_constants.h"
#include "core/cluster/cluster_messages.h"
#include "core/digital/digital_window_text.h"
#include "core/logbook/log_messages.h"
#include "core/prefixes/prefix_update_messages.h"
#include "core/record/qso_record.h"
#include "core/record/station_callsign.h"
#include "core/session/auto_log.h"
#include "core/session/main_messages.h"
#include "core/session/recompute_messages.h"
#include "platform/busy_pointer.h"
#include "platform/clock_text.h"
#include "platform/colours.h"
#include "platform/column_list.h"
#include "platform/file_error_text.h"
#include "platform/text.h"
#include "platform/web_view.h"
#include "windows/adif/confirmation_command.h"
#include "windows/adif/export_command.h"
#include "windows/adif/import_window.h"
#include "windows/awards/award_tool_sources.h"
#include "windows/awards/award_window.h"
#include "windows/awards/dxcc_table_window.h"
#include "windows/awards/prefix_statistics_window.h"
#include "windows/awards/progress_chart_window.h"
#include "windows/awards/world_map_window.h"
#include "windows/common/log_list_view.h"
#include "windows/common/outcome_display.h"
#include "windows/main/recompute_window.h"
#include "windows/prefixes/prefix_editor_window.h"
#include "windows/prefixes/prefix_update_window.h"
#include "windows/search/search_window.h"
#include "windows/station/locator_window.h"
#include "windows/station/recovery_window.h"
#include "windows/station/station_window.h"

namespace ui {

namespace msg = dxcc::main_messages;

namespace {

QString q(std::string_view s) {
    return fromView(s);
}

// The entity list opens this far below the centre, so the prefix editor that
// opened it stays in view.
constexpr int kBelowCentre = 100;
// How long the status bar tells of a contact logged or a new entity heard.
constexpr int kAlertMs = 20'000;

}  // namespace

MainWindow::MainWindow(AppContext& ctx, dxcc::LogSession& session, QWidget* parent)
    : QMainWindow(parent), ctx_(ctx), session_(session), flash_(std::make_unique<Flash>()) {
    setObjectName("Main");
    model_ = new LogListModel(session_.log(), this);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setSpacing(6);
    setCentralWidget(central);
    buildMenus();
    buildStatusRow(central);

    EntryEnvironment env;
    env.model = model_;
    // The list and its model exist before the form, which watches its selection.
    Liste_DXCC = new LogListView(central);
    Liste_DXCC->setModel(model_);
    env.list = Liste_DXCC;
    entry_ = new EntryForm(ctx_, session_, env, central);
    layout->addWidget(entry_);
    connect(entry_, &EntryForm::prefixStatisticsWanted, this, &MainWindow::openPrefixStatistics);
    connect(entry_, &EntryForm::searchWanted, this, &MainWindow::openSearch);

    buildList(central);
    buildLiveLinks();

    Barre_Etat = new QLabel(this);
    Barre_Etat->setObjectName("Barre_Etat");
    statusBar()->addWidget(Barre_Etat, 1);
    connect(model_, &LogListModel::logChanged, this, &MainWindow::showLogCounts);
    showLogCounts();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &MainWindow::tick);
    Timer1->start();
    tick();
    resize(1280, 800);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildLiveLinks() {
    links_ = new LiveLinks(ctx_, session_, *this, [this] { return entry_->inEntryMode(); });
    connect(links_, &LiveLinks::bandAndModeChosen, entry_, &EntryForm::selectBandAndMode);
    connect(links_, &LiveLinks::spotTaken, entry_, &EntryForm::takeSpot);
    // The spots' colours follow the log, window open or not.
    connect(model_, &LogListModel::logChanged, &links_->clusterFeed(), &ClusterFeed::refresh);

    Mnu_Outils->addSeparator();
    auto action = [this](const char* name, std::string_view caption) {
        QAction* a = Mnu_Outils->addAction(q(caption));
        a->setObjectName(name);
        return a;
    };
    namespace cm = dxcc::cluster::messages;
    Mnu_Cluster = action("Mnu_Cluster", cm::kMenuCluster);
    Mnu_Reglages_Cluster = action("Mnu_Reglages_Cluster", cm::kMenuClusterSettings);
    Mnu_Reglages_Radio = action("Mnu_Reglages_Radio", cm::kMenuRigSettings);
    connect(Mnu_Cluster, &QAction::triggered, links_, &LiveLinks::openCluster);
    connect(Mnu_Reglages_Cluster, &QAction::triggered, links_, &LiveLinks::editClusterSettings);
    connect(Mnu_Reglages_Radio, &QAction::triggered, links_, &LiveLinks::editRadioSettings);

    Etat_Radio = new QLabel(q(cm::kRadioNone), this);
    Etat_Radio->setObjectName("Etat_Radio");
    statusBar()->addPermanentWidget(Etat_Radio);
    connect(links_, &LiveLinks::radioStatus, Etat_Radio, &QLabel::setText);
    buildDigitalLink();
}

void MainWindow::buildDigitalLink() {
    DigitalFeed& digital = links_->digitalFeed();
    Mnu_Trafic_Numerique = Mnu_Outils->addAction(q(dxcc::digital::window_messages::kMenuItem));
    Mnu_Trafic_Numerique->setObjectName("Mnu_Trafic_Numerique");
    connect(Mnu_Trafic_Numerique, &QAction::triggered, links_, &LiveLinks::openDigital);
    Etat_WSJTX = new QLabel(this);
    Etat_WSJTX->setObjectName("Etat_WSJTX");
    statusBar()->addPermanentWidget(Etat_WSJTX);
    connect(&digital, &DigitalFeed::waitingChanged, Etat_WSJTX, &QLabel::setText);
    connect(&digital, &DigitalFeed::contactsLogged, this, &MainWindow::showContactsLogged);
    connect(&digital, &DigitalFeed::contactToConfirm, this, &MainWindow::offerContactToConfirm);
    connect(links_, &LiveLinks::callsignChosen, entry_, &EntryForm::showCallsign);
    connect(links_, &LiveLinks::alert, this,
            [this](const QString& text) { statusBar()->showMessage(text, kAlertMs); });
    // Decodes, colours and highlights follow the log, window open or not;
    // once the form has been reset after a commit, the next contact to
    // confirm may take it.
    connect(model_, &LogListModel::logChanged, this, [this] {
        links_->digitalFeed().followLog(model_->lastChange());
        QTimer::singleShot(0, this, &MainWindow::offerContactToConfirm);
    });
    // The operator clears the form: the contact to confirm it showed is thrown away.
    connect(entry_->Efface_A, &QPushButton::clicked, this, [this] {
        DigitalFeed& digital = links_->digitalFeed();
        if (digital.showingContactToConfirm()) digital.contactToConfirmLeft(true);
        offerContactToConfirm();
    });
}

void MainWindow::showContactsLogged(const dxcc::AutoLogOutcome& outcome) {
    if (outcome.change || outcome.failure != dxcc::SessionOutcome::Failure::None)
        model_->follow(outcome);
    if (!outcome.logged.empty())
        statusBar()->showMessage(
            QString::fromStdString(dxcc::loggedContactLine(outcome.logged.back())), kAlertMs);
    entry_->showNeeded();
}

void MainWindow::offerContactToConfirm() {
    DigitalFeed& digital = links_->digitalFeed();
    if (!entry_->inEntryMode() || !entry_->Ind_A->text().trimmed().isEmpty()) return;
    // The form is free again: the contact it showed was committed, or the
    // form was reset under it (then it is offered again).
    if (digital.showingContactToConfirm()) digital.contactToConfirmLeft(false);
    if (!digital.hasContactToConfirm()) return;
    // (None when those queued were all logged meanwhile.)
    const std::string record = digital.takeContactToConfirm();
    if (!record.empty() && !entry_->takeContact(record)) digital.contactToConfirmLeft(false);
}

void MainWindow::showLogCounts() {
    namespace nm = dxcc::needed_messages;
    const dxcc::NeedCounts mixed = session_.needed().counts();
    Barre_Etat->setText(QString::number(session_.log().size()) + q(nm::kStatusQsos) +
                        QString::number(mixed.worked) + q(nm::kStatusWorked) +
                        QString::number(mixed.confirmed) + q(nm::kStatusConfirmed));
}

void MainWindow::buildStatusRow(QWidget* central) {
    auto* row = new QHBoxLayout;
    auto* caption = new QLabel("INDICATIF DE LA STATION  : ", central);
    I_Station = new QLabel(central);
    I_Station->setObjectName("I_Station");
    QFont big = caption->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    caption->setFont(big);
    I_Station->setFont(big);
    QPalette blue = I_Station->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 160));
    I_Station->setPalette(blue);
    row->addWidget(caption);
    row->addWidget(I_Station);
    row->addStretch();

    Label33 = new QLabel(central);
    Label37 = new QLabel(central);
    Label34 = new QLabel(central);
    const char* names[] = {"Label33", "Label37", "Label34"};
    int i = 0;
    for (QLabel* l : {Label33, Label37, Label34}) {
        l->setObjectName(names[i++]);
        QFont f = big;
        f.setBold(false);
        l->setFont(f);
        l->setFrameShape(QFrame::StyledPanel);
        l->setMargin(4);
        l->setAutoFillBackground(true);
        QPalette p = l->palette();
        p.setColor(QPalette::Window, kRestColour);
        l->setPalette(p);
        row->addSpacing(6);
        row->addWidget(l);
    }
    static_cast<QVBoxLayout*>(central->layout())->addLayout(row);
}

void MainWindow::buildList(QWidget* central) {
    Label_Liste_DXCC = new QLabel(q(dxcc::displayHeading()), central);
    Label_Liste_DXCC->setObjectName("Label_Liste_DXCC");
    Liste_DXCC->setObjectName("Liste_DXCC");
    setUpColumnList(Liste_DXCC);
    Liste_DXCC->setToolTip(
        "Un clique sur un QSO pour l'afficher ou le supprimer, un double clique pour l'editer");
    alignHeadingWith(Label_Liste_DXCC, Liste_DXCC);

    L_Communes = new QLabel(
        "Un clique sur un QSO pour l'afficher ou le supprimer, un double clique pour l'éditer",
        central);
    L_Communes->setObjectName("L_Communes");

    auto* layout = static_cast<QVBoxLayout*>(central->layout());
    layout->addSpacing(4);
    layout->addWidget(Label_Liste_DXCC);
    layout->addWidget(Liste_DXCC, 1);
    layout->addWidget(L_Communes);
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    auto action = [this](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        return a;
    };
    auto menu = [bar](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(name);
        return m;
    };
    auto command = [bar](const char* name, const QString& caption) {
        QAction* a = bar->addAction(caption);
        a->setObjectName(name);
        return a;
    };

    Mnu_Fichier = menu("Mnu_Fichier", "Fichiers");
    Mnu_Quitter = action(Mnu_Fichier, "Mnu_Quitter", "Quitter VEL_DXCC");
    Mnu_RAZ = action(Mnu_Fichier, "Mnu_RAZ", "RAZ du fichier log");
    Mnu_Import_ADIF = action(Mnu_Fichier, "Mnu_Import_ADIF", q(dxcc::adif_messages::kMenuItem));
    Mnu_Export_ADIF =
        action(Mnu_Fichier, "Mnu_Export_ADIF", q(dxcc::adif_messages::kExportMenuItem));
    Mnu_Import_LoTW =
        action(Mnu_Fichier, "Mnu_Import_LoTW", q(dxcc::adif_messages::kConfirmMenuItem));
    Nmu_Options = menu("Nmu_Options", "Options");
    Mnu_Date_Auto = action(Nmu_Options, "Mnu_Date_Auto", "Date Automatique");
    Mnu_Date_Man = action(Nmu_Options, "Mnu_Date_Man", "Date Manuelle");
    Mnu_Station = menu("Mnu_Station", "Station");
    Mnu_New_Indicatif = action(Mnu_Station, "Mnu_New_Indicatif", "Nouvel indicatif");
    Mnu_Locator = action(Mnu_Station, "Mnu_Locator", "Locator de la station");
    Mnu_Outils = menu("Mnu_Outils", "Outils");
    Mnu_Ajout_Prefixe = action(Mnu_Outils, "Mnu_Ajout_Prefixe", "Edition d'un Préfixe DXCC");
    Mnu_Maj_Prefixes =
        action(Mnu_Outils, "Mnu_Maj_Prefixes", q(dxcc::prefix_update_messages::kMenuItem));
    Mnu_Recalcul_Contrees =
        action(Mnu_Outils, "Mnu_Recalcul_Contrees", q(dxcc::recompute_messages::kMenuItem));
    Mnu_Tableau_DXCC =
        action(Mnu_Outils, "Mnu_Tableau_DXCC", q(dxcc::award_tools_messages::kTableMenuItem));
    Mnu_Progression =
        action(Mnu_Outils, "Mnu_Progression", q(dxcc::award_tools_messages::kChartMenuItem));
    Mnu_Carte = action(Mnu_Outils, "Mnu_Carte", q(dxcc::award_tools_messages::kMapMenuItem));
    Mnu_DXCC_Mixed = command("Mnu_DXCC_Mixed", "DXCC Mixed");
    Mnu_DXCC_SSB = command("Mnu_DXCC_SSB", "DXCC SSB/CW/RTTY");
    Mnu_DXCC_Bande = command("Mnu_DXCC_Bande", "DXCC Bande");
    Mnu_DXCC_5_Bandes = command("Mnu_DXCC_5_Bandes", "DXCC 5 Bandes");
    Mnu_DXCC_Sat = command("Mnu_DXCC_Sat", "DXCC Satellite");
    Mnu_Reglement = command("Mnu_Reglement", "Reglement DXCC");
    Mnu_Aide = menu("Mnu_Aide", "Aide");
    Mnu_Historique = action(Mnu_Aide, "Mnu_Historique", "Historique");
    Mnu_A_Propos = action(Mnu_Aide, "Mnu_A_Propos", "A Propos");
    Mnu_Aide_Clavier = action(Mnu_Aide, "Mnu_Aide_Clavier", q(msg::kHelpMenuItem));
    Mnu_Aide_Clavier->setShortcut(QKeySequence(Qt::Key_F1));
    Mnu_Import_ADIF->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    auto* find = new QAction(this);
    find->setObjectName("Raccourci_Recherche");
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    addAction(find);
    connect(find, &QAction::triggered, this, &MainWindow::openSearch);

    Mnu_Date_Auto->setCheckable(true);
    Mnu_Date_Man->setCheckable(true);
    Mnu_Date_Auto->setChecked(true);

    connect(Mnu_Quitter, &QAction::triggered, this, [this] {
        saveGeometryNow();
        // The quit ends the process where it stands, no destructor runs
        // after it: the decoders' windows lose our colours now.
        links_->digitalFeed().clearHighlights();
        ctx_.quit(0);
    });
    connect(Mnu_RAZ, &QAction::triggered, this, &MainWindow::resetLog);
    connect(Mnu_Import_ADIF, &QAction::triggered, this, &MainWindow::importAdif);
    connect(Mnu_Export_ADIF, &QAction::triggered, this,
            [this] { runAdifExport(ctx_, session_, this); });
    connect(Mnu_Import_LoTW, &QAction::triggered, this,
            [this] { runConfirmationImport(ctx_, session_, importEnvironment(), this); });
    connect(Mnu_Date_Auto, &QAction::triggered, this, [this] { setDateAuto(true); });
    connect(Mnu_Date_Man, &QAction::triggered, this, [this] { setDateAuto(false); });
    connect(Mnu_New_Indicatif, &QAction::triggered, this, [this] { openStationWindow(false); });
    connect(Mnu_Locator, &QAction::triggered, this, [this] {
        openWindow("Locator", [this] {
            return new LocatorWindow(
                ctx_, session_.settings(), [this] { entry_->showNeeded(); }, this);
        });
    });
    connect(Mnu_Ajout_Prefixe, &QAction::triggered, this, &MainWindow::openPrefixEditor);
    connect(Mnu_Tableau_DXCC, &QAction::triggered, this, [this] { openDxccTable(); });
    connect(Mnu_Progression, &QAction::triggered, this, &MainWindow::openProgressChart);
    connect(Mnu_Carte, &QAction::triggered, this, &MainWindow::openWorldMap);
    connect(Mnu_Maj_Prefixes, &QAction::triggered, this, &MainWindow::updatePrefixes);
    connect(Mnu_Recalcul_Contrees, &QAction::triggered, this, &MainWindow::recomputeEntities);
    // The open tool windows follow the log.
    connect(model_, &LogListModel::logChanged, this, [this] {
        if (auto* w = qobject_cast<DxccTableWindow*>(openWindows_.value("Tableau_DXCC").data()))
            w->refresh();
        if (auto* w =
                qobject_cast<ProgressChartWindow*>(openWindows_.value("Progression_DXCC").data()))
            w->follow(model_->lastChange());
        if (auto* w = qobject_cast<WorldMapWindow*>(openWindows_.value("Carte_Monde").data()))
            w->refresh();
    });
    for (auto [item, kind] : {std::pair{Mnu_DXCC_Mixed, dxcc::AwardFamily::Mixed},
                              {Mnu_DXCC_SSB, dxcc::AwardFamily::Mode},
                              {Mnu_DXCC_Bande, dxcc::AwardFamily::Band},
                              {Mnu_DXCC_5_Bandes, dxcc::AwardFamily::FiveBand},
                              {Mnu_DXCC_Sat, dxcc::AwardFamily::Satellite}})
        connect(item, &QAction::triggered, this, [this, kind] { openAwardWindow(kind); });
    connect(Mnu_Reglement, &QAction::triggered, this, [this] {
        openWindow("Reglement", [this] {
            QWidget* w =
                createWebWindow("Reglement", "Reglement", q(dxcc::kArrlHost) + q(dxcc::kRulesPath),
                                ctx_.openExternalUrl, this);
            return w;
        });
    });
    connect(Mnu_Historique, &QAction::triggered, this, &MainWindow::showHistory);
    connect(Mnu_A_Propos, &QAction::triggered, this, &MainWindow::showAbout);
    connect(Mnu_Aide_Clavier, &QAction::triggered, this,
            [this] { ctx_.dialogs->inform(q(msg::kHelpText), q(msg::kHelpMenuItem)); });
}

void MainWindow::saveGeometryNow() {
    session_.settings().setMainWindowGeometry(saveGeometry().toBase64().toStdString());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    saveGeometryNow();
    QMainWindow::closeEvent(event);
}

void MainWindow::centreOnScreen() {
    if (QScreen* s = screen()) {
        QRect r = s->availableGeometry();
        move(r.center() - QPoint(width() / 2, height() / 2));
    }
}

void MainWindow::startUp(const dxcc::StartUpOutcome& start) {
    const QByteArray geometry =
        QByteArray::fromBase64(QByteArray::fromStdString(session_.settings().mainWindowGeometry()));
    if (geometry.isEmpty() || !restoreGeometry(geometry)) centreOnScreen();
    I_Station->setText(fromCp1252(session_.station()));
    // The band and mode lists are filled by the entry form.
    entry_->restoreBandAndMode();
    showDateMode();
    if (start.firstInstallation) {
        ctx_.dialogs->inform(q(msg::kFirstInstallation));
        openStationWindow(true);
    }
    suppressSplash_ = false;
    show();
    entry_->focusCallsign();
    history_.clear();
    for (auto line : dxcc::kHistoryLines) history_ += q(line) + "\r\n";
    revision_ = q(dxcc::kRevision);
    setWindowTitle(q(msg::kTitle) + revision_);
    if (session_.hasStation() && !loadLog()) return;
    selectLastLine();
    session_.settings().noteRevision();
    entry_->Efface_QSO();
    // The radio of the settings; the cluster again when the program last
    // ended connected to it.
    links_->start();
}

void MainWindow::showDateMode() {
    const bool automatic = session_.settings().automaticDate();
    Mnu_Date_Auto->setChecked(automatic);
    Mnu_Date_Man->setChecked(!automatic);
}

bool MainWindow::loadLog() {
    if (!suppressSplash_)
        flash_->showMessage(q(msg::kLoadingLog),
                            q(msg::kLoadingLogOfStation) + fromCp1252(session_.station()));
    suppressSplash_ = false;
    QApplication::processEvents();
    BusyPointer busy;
    dxcc::LoadOutcome loaded;
    model_->change([&] { loaded = session_.loadLog(); });
    if (loaded.kind != dxcc::LoadOutcome::Kind::Loaded) {
        busy.end();
        flash_->hide();
        if (loaded.kind == dxcc::LoadOutcome::Kind::MissingLog) {
            showRecovery();
        } else {
            // "Erreur N° " and the number first, then what it means and the file.
            ctx_.dialogs->inform(fileErrorText(*loaded.error));
            ctx_.quit(loaded.error->code());
        }
        return false;
    }
    entry_->focusCallsign();
    flash_->hide();
    busy.end();
    return true;
}

void MainWindow::showRecovery() {
    RecoveryWindow recovery(
        ctx_, fromCp1252(session_.station()), [this] { session_.forgetStation(); }, this);
    recovery.exec();
}

void MainWindow::selectLastLine() {
    entry_->selectLastListLine();
}

void MainWindow::tick() {
    const dxcc::DateTimeParts local = partsOf(ctx_.clock->localNow());
    Label37->setEnabled(true);
    Label37->setText(utcTimeText(*ctx_.clock) + " Utc");
    Label34->setEnabled(true);
    Label34->setText(q(dxcc::formatTime(local)).left(5) + " Loc");
    Label33->setText(utcDateText(*ctx_.clock));
}

void MainWindow::setDateAuto(bool automatic) {
    session_.settings().setAutomaticDate(automatic);
    showDateMode();
    if (automatic) entry_->clearDate();
}

void MainWindow::resetLog() {
    const QString station = fromCp1252(session_.station());
    if (!ctx_.dialogs->askOkCancelCritical(q(dxcc::log_messages::kResetQuestion) + station +
                                           q(dxcc::log_messages::kResetQuestionEnd)))
        return;
    if (!showLogOutcome(*ctx_.dialogs, *model_, session_.resetLog())) return;
    // The contact the form showed is gone with the log.
    entry_->Efface_QSO();
    loadLog();
}

void MainWindow::openStationWindow(bool modal) {
    auto create = [this] {
        return new StationWindow(
            ctx_, [this](const std::string& callsign) { switchStation(callsign); }, this);
    };
    if (modal) {
        StationWindow* w = create();
        w->exec();  // deletes itself on close
        return;
    }
    openWindow("Station", create);
}

void MainWindow::switchStation(const std::string& callsign) {
    const dxcc::SessionOutcome switched = session_.switchStation(callsign);
    if (!switched.ok()) {
        ctx_.dialogs->inform(outcomeTexts(switched).join(QString()) +
                             q(dxcc::log_messages::kStationNotChanged));
        return;
    }
    I_Station->setText(fromCp1252(dxcc::displayForm(session_.station())));
    showDateMode();
    // The form showed a contact of the other station's log.
    entry_->Efface_QSO();
    entry_->restoreBandAndMode();
    suppressSplash_ = true;
    loadLog();
}

void MainWindow::openArrlList() {
    openWindow(
        "Liste_ARRL",
        [this] {
            return createWebWindow("Liste_ARRL", "Liste des contrées DXCC de l'ARRL",
                                   q(dxcc::kArrlHost) + q(dxcc::kDxccListPath),
                                   ctx_.openExternalUrl, this);
        },
        kBelowCentre);
}

ImportEnvironment MainWindow::importEnvironment() {
    ImportEnvironment env;
    env.model = model_;
    env.flash = flash_.get();
    env.resetEntry = [this] { entry_->Efface_QSO(); };
    env.selectLastLine = [this] { entry_->selectLastListLine(); };
    return env;
}

void MainWindow::importAdif() {
    runAdifImport(ctx_, session_, importEnvironment(), this);
}

void MainWindow::showAbout() {
    ctx_.dialogs->inform(q(msg::kAbout) + revision_ + "\r\n\r\n" + q(msg::kAboutLine));
}

void MainWindow::showHistory() {
    ctx_.dialogs->inform(history_);
}

void MainWindow::openWindow(const QString& name, const std::function<QWidget*()>& create,
                            int belowCentre) {
    QPointer<QWidget>& slot = openWindows_[name];
    if (!slot) {
        slot = create();
        if (!slot->testAttribute(Qt::WA_Resized)) slot->adjustSize();
        if (QScreen* s = screen()) {
            QRect r = s->availableGeometry();
            slot->move(r.center() - QPoint(slot->width() / 2, slot->height() / 2 - belowCentre));
        }
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
}

void MainWindow::openAwardWindow(dxcc::AwardFamily kind) {
    AwardSplash splash{
        [this](const QString& first, const QString& second) { flash_->showMessage(first, second); },
        [this] { flash_->hide(); }};
    openWindow(q(dxcc::award_texts::windowLayout(kind).objectName),
               [&] { return new AwardWindow(ctx_, session_, kind, splash, this); });
}

void MainWindow::openSearch() {
    openWindow("Recherche_Indicatif", [this] {
        auto* w = new SearchWindow(ctx_, session_, model_, this);
        connect(w, &SearchWindow::qsoChosen, this, &MainWindow::showLogRow);
        return w;
    });
}

void MainWindow::showLogRow(int row) {
    entry_->selectRow(row);
    Liste_DXCC->scrollTo(model_->index(row), QAbstractItemView::PositionAtCenter);
    activateWindow();
}

void MainWindow::openPrefixStatistics() {
    openWindow("Stat_Prefixe", [this] { return new PrefixStatisticsWindow(ctx_, session_, this); });
}

void MainWindow::openPrefixEditor() {
    openWindow("Ajout_Prefixe", [this] {
        auto* w = new PrefixEditorWindow(ctx_, session_, this);
        connect(w, &PrefixEditorWindow::entityListWanted, this, &MainWindow::openArrlList);
        return w;
    });
}

void MainWindow::refreshEntityWindows() {
    if (auto* w = qobject_cast<DxccTableWindow*>(openWindows_.value("Tableau_DXCC").data()))
        w->refresh();
    if (auto* w = qobject_cast<WorldMapWindow*>(openWindows_.value("Carte_Monde").data()))
        w->refresh();
    links_->clusterFeed().refresh();
    links_->digitalFeed().followLog(std::nullopt);
}

void MainWindow::updatePrefixes() {
    if (!runPrefixUpdate(ctx_, session_, this)) return;
    // The editor's list would otherwise save the old file over the new one.
    if (auto* w = qobject_cast<PrefixEditorWindow*>(openWindows_.value("Ajout_Prefixe").data()))
        w->reopen();
    refreshEntityWindows();
    entry_->showNeeded();
    // The log still holds the entities of the old files: offered, No by default.
    if (ctx_.dialogs->askYesNoDestructive(q(dxcc::recompute_messages::kOfferAfterUpdate)))
        recomputeEntities();
}

void MainWindow::recomputeEntities() {
    // An entry in progress would otherwise be stored over a line that changed.
    entry_->Efface_QSO();
    runEntityRecompute(ctx_, session_, *model_, this);
    entry_->showNeeded();
}

// The tool windows read the log when they open; opened again, they read it anew.
DxccTableWindow* MainWindow::openDxccTable() {
    if (auto* open = qobject_cast<DxccTableWindow*>(openWindows_.value("Tableau_DXCC").data()))
        open->refresh();
    openWindow("Tableau_DXCC", [this] {
        auto* w =
            new DxccTableWindow(ctx_, dxccTableSource(session_), exportWriter(session_), this);
        connect(w, &DxccTableWindow::entityQsosWanted, this, [this](const QString& prefix) {
            openSearch();
            if (auto* s =
                    qobject_cast<SearchWindow*>(openWindows_.value("Recherche_Indicatif").data()))
                s->showEntityQsos(prefix);
        });
        return w;
    });
    return qobject_cast<DxccTableWindow*>(openWindows_.value("Tableau_DXCC").data());
}

void MainWindow::openProgressChart() {
    if (auto* open =
            qobject_cast<ProgressChartWindow*>(openWindows_.value("Progression_DXCC").data()))
        open->refresh();
    openWindow("Progression_DXCC", [this] {
        return new ProgressChartWindow(ctx_, session_.log(), exportWriter(session_), this);
    });
}

void MainWindow::openWorldMap() {
    if (auto* open = qobject_cast<WorldMapWindow*>(openWindows_.value("Carte_Monde").data()))
        open->refresh();
    openWindow("Carte_Monde", [this] {
        auto* w = new WorldMapWindow(ctx_, worldMapSource(session_), exportWriter(session_), this);
        connect(w, &WorldMapWindow::entityChosen, this, [this](const QString& prefix) {
            if (DxccTableWindow* t = openDxccTable()) t->selectEntity(prefix);
        });
        return w;
    });
}

}  // namespace ui
