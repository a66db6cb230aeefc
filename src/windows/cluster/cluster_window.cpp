#include "windows/cluster/cluster_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QVBoxLayout>

#include "core/base/program_constants.h"
#include "core/cluster/cluster_messages.h"
#include "core/radio/radio_follow.h"
#include "core/session/station_callsign.h"
#include "platform/text.h"
#include "windows/cluster/cluster_settings_dialog.h"

namespace ui {

namespace msg = dxcc::cluster::messages;
using dxcc::ModeClass;

namespace {

template <typename T>
T* named(T* w, const char* name) {
    w->setObjectName(name);
    return w;
}

// The console keeps the server's last lines only: a talkative server never
// fills the memory.
constexpr int kConsoleLines = 500;

}  // namespace

ClusterWindow::ClusterWindow(AppContext& ctx, dxcc::LogSession& session,
                             const dxcc::cluster::NeededLookup& needed,
                             dxcc::cluster::ReconnectSchedule schedule, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx), session_(session), needed_(needed),
      client_(new ClusterClient(schedule, this)), model_(new SpotTableModel(this)),
      filtered_(new SpotFilterModel(this)) {
    setObjectName("Cluster_DX");
    setWindowTitle(fromView(msg::kWindowTitle));

    Etat_Cluster = named(new QLabel(client_->stateText(), this), "Etat_Cluster");
    Connecter = named(new QPushButton("Connecter", this), "Connecter");
    Deconnecter = named(new QPushButton("Déconnecter", this), "Deconnecter");
    Reglages_Cluster = named(new QPushButton("Réglages…", this), "Reglages_Cluster");
    Filtre_Utile = named(new QCheckBox("Seulement ce qu'il me faut", this), "Filtre_Utile");
    Filtre_Bande = named(new QComboBox(this), "Filtre_Bande");
    Filtre_Mode = named(new QComboBox(this), "Filtre_Mode");
    Sonnerie = named(new QCheckBox("Sonner pour une nouvelle contrée", this), "Sonnerie");
    Liste_Spots = named(new QTableView(this), "Liste_Spots");
    Console_Cluster = named(new QPlainTextEdit(this), "Console_Cluster");
    Commande_Cluster = named(new QLineEdit(this), "Commande_Cluster");
    auto* envoyer = named(new QPushButton("Envoyer", this), "Envoyer_Commande");

    Filtre_Bande->addItem("Toutes les bandes");
    for (std::string_view band : dxcc::kBands) Filtre_Bande->addItem(fromView(band).trimmed());
    Filtre_Mode->addItem("Tous les modes", 0);
    for (ModeClass c : {ModeClass::Phone, ModeClass::Cw, ModeClass::Digital})
        Filtre_Mode->addItem(fromView(dxcc::modeClassText(c)), int(c));
    Sonnerie->setChecked(setting(dxcc::cluster::kKeyClusterBell, "Non") == "Oui");

    filtered_->setSourceModel(model_);
    Liste_Spots->setModel(filtered_);
    Liste_Spots->setSelectionBehavior(QAbstractItemView::SelectRows);
    Liste_Spots->setSelectionMode(QAbstractItemView::SingleSelection);
    Liste_Spots->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Liste_Spots->verticalHeader()->hide();
    Liste_Spots->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    Liste_Spots->horizontalHeader()->setStretchLastSection(true);
    const int em = fontMetrics().horizontalAdvance('M');
    const int widths[] = {4, 6, 8, 5, 4, 4, 12, 7};
    for (int c = 0; c < int(std::size(widths)); ++c)
        Liste_Spots->setColumnWidth(c, widths[c] * em + 8);
    Console_Cluster->setReadOnly(true);
    Console_Cluster->setMaximumBlockCount(kConsoleLines);
    Console_Cluster->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed("Monospace");
    fixed.setStyleHint(QFont::TypeWriter);
    Console_Cluster->setFont(fixed);
    Commande_Cluster->setPlaceholderText("Commande au serveur, par exemple SH/DX 30");

    auto* top = new QHBoxLayout;
    top->addWidget(Connecter);
    top->addWidget(Deconnecter);
    top->addWidget(Reglages_Cluster);
    top->addWidget(Etat_Cluster, 1);
    auto* filters = new QHBoxLayout;
    filters->addWidget(Filtre_Utile);
    filters->addWidget(Filtre_Bande);
    filters->addWidget(Filtre_Mode);
    filters->addWidget(Sonnerie);
    filters->addStretch(1);
    auto* commandRow = new QHBoxLayout;
    commandRow->addWidget(Commande_Cluster, 1);
    commandRow->addWidget(envoyer);
    auto* consoleBox = new QWidget(this);
    auto* consoleLayout = new QVBoxLayout(consoleBox);
    consoleLayout->setContentsMargins(0, 0, 0, 0);
    consoleLayout->addWidget(Console_Cluster, 1);
    consoleLayout->addLayout(commandRow);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(Liste_Spots);
    split->addWidget(consoleBox);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(filters);
    layout->addWidget(split, 1);
    resize(em * 72, fontMetrics().height() * 34);

    connect(Connecter, &QPushButton::clicked, this, &ClusterWindow::connectToServer);
    connect(Deconnecter, &QPushButton::clicked, this, &ClusterWindow::disconnectFromServer);
    connect(Reglages_Cluster, &QPushButton::clicked, this, &ClusterWindow::openSettings);
    connect(Filtre_Utile, &QCheckBox::toggled, this, &ClusterWindow::applyFilters);
    connect(Filtre_Bande, &QComboBox::currentIndexChanged, this, &ClusterWindow::applyFilters);
    connect(Filtre_Mode, &QComboBox::currentIndexChanged, this, &ClusterWindow::applyFilters);
    connect(Sonnerie, &QCheckBox::toggled, this, [this](bool on) {
        ctx_.settings->set(fromView(dxcc::kGlobalSection), fromView(dxcc::cluster::kKeyClusterBell),
                           on ? "Oui" : "Non");
    });
    connect(Commande_Cluster, &QLineEdit::returnPressed, this, &ClusterWindow::sendCommand);
    connect(envoyer, &QPushButton::clicked, this, &ClusterWindow::sendCommand);
    connect(client_, &ClusterClient::stateChanged, this,
            [this](ClusterClient::State, const QString& text) { Etat_Cluster->setText(text); });
    connect(client_, &ClusterClient::consoleLine, Console_Cluster, &QPlainTextEdit::appendPlainText);
    connect(client_, &ClusterClient::spotReceived, this, &ClusterWindow::spotReceived);
    connect(Liste_Spots, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const auto& s = model_->spotAt(filtered_->mapToSource(index).row());
        emit spotChosen(fromCp1252(s.spot.dx), fromCp1252(s.band), s.modeClass,
                        dxcc::radio::hertzOfKilohertz(s.spot.kilohertz));
    });
}

QString ClusterWindow::setting(std::string_view key, const QString& fallback) const {
    return ctx_.settings->get(fromView(dxcc::kGlobalSection), fromView(key), fallback);
}

void ClusterWindow::connectToServer() {
    using namespace dxcc::cluster;
    const QString host = setting(kKeyClusterHost, {}).trimmed();
    if (host.isEmpty()) {
        ctx_.dialogs->inform(fromView(msg::kNoServer));
        return;
    }
    const auto port = quint16(setting(kKeyClusterPort, "7300").toUInt());
    const QString station = fromCp1252(dxcc::displayForm(session_.station()));
    client_->connectTo(host, port, setting(kKeyClusterCallsign, station));
}

void ClusterWindow::spotReceived(const dxcc::cluster::Spot& spot) {
    auto classified = dxcc::cluster::classifySpot(spot, session_.prefixes().table(), needed_);
    const bool newEntity = classified.colour == dxcc::cluster::SpotColour::NewEntity;
    const bool newRow = model_->add(std::move(classified), ctx_.clock->utcNow().toSecsSinceEpoch());
    if (newEntity && newRow && Sonnerie->isChecked()) emit bell();
}

void ClusterWindow::applyFilters() {
    dxcc::cluster::SpotFilter filter;
    filter.neededOnly = Filtre_Utile->isChecked();
    if (Filtre_Bande->currentIndex() > 0) filter.bands = '|' + toCp1252(Filtre_Bande->currentText()) + '|';
    if (const int c = Filtre_Mode->currentData().toInt()) filter.classes = uint8_t(1u << c);
    filtered_->setFilter(std::move(filter));
}

void ClusterWindow::openSettings() {
    ClusterSettingsDialog dialog(ctx_, fromCp1252(dxcc::displayForm(session_.station())), this);
    if (dialog.exec() == QDialog::Accepted && client_->state() != ClusterClient::State::Disconnected)
        connectToServer();
}

void ClusterWindow::sendCommand() {
    const QString text = Commande_Cluster->text().trimmed();
    if (text.isEmpty()) return;
    Console_Cluster->appendPlainText("> " + text);
    client_->sendCommand(text);
    Commande_Cluster->clear();
}

}  // namespace ui
