#include "windows/cluster/cluster_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSplitter>
#include <QVBoxLayout>

#include "core/base/program_constants.h"
#include "core/cluster/cluster_messages.h"
#include "core/cluster/feed_batch.h"
#include "core/radio/radio_follow.h"
#include "platform/text.h"
#include "windows/cluster/cluster_settings_dialog.h"
#include "windows/common/named.h"

namespace ui {

namespace msg = dxcc::cluster::messages;
using dxcc::ModeClass;

ClusterWindow::ClusterWindow(AppContext& ctx, dxcc::LogSession& session, ClusterFeed& feed,
                             QWidget* parent)
    : QWidget(parent, Qt::Window),
      ctx_(ctx),
      session_(session),
      feed_(feed),
      filtered_(new RowFilterModel(this)) {
    setObjectName("Cluster_DX");
    setWindowTitle(fromView(msg::kWindowTitle));

    ClusterClient& client = feed_.client();
    Etat_Cluster = named(new QLabel(client.stateText(), this), "Etat_Cluster");
    Unshown_Count = named(new QLabel(feed_.unshownText(), this), "Unshown_Count");
    Connecter = named(new QPushButton("Connecter", this), "Connecter");
    Deconnecter = named(new QPushButton("Déconnecter", this), "Deconnecter");
    Reglages_Cluster = named(new QPushButton("Réglages…", this), "Reglages_Cluster");
    Console_Cluster = named(new QPlainTextEdit(this), "Console_Cluster");
    Commande_Cluster = named(new QLineEdit(this), "Commande_Cluster");
    buildFilters();
    buildList();

    // The console keeps the server's last lines only: a talkative server
    // never fills the memory.
    Console_Cluster->setReadOnly(true);
    Console_Cluster->setMaximumBlockCount(int(dxcc::cluster::kConsoleLines));
    Console_Cluster->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed("Monospace");
    fixed.setStyleHint(QFont::TypeWriter);
    Console_Cluster->setFont(fixed);
    Console_Cluster->setPlainText(feed_.consoleText());
    Commande_Cluster->setPlaceholderText("Commande au serveur, par exemple SH/DX 30");
    layOut();

    connect(Connecter, &QPushButton::clicked, &feed_, &ClusterFeed::connectToServer);
    connect(Deconnecter, &QPushButton::clicked, &feed_, &ClusterFeed::disconnectFromServer);
    connect(Reglages_Cluster, &QPushButton::clicked, this, &ClusterWindow::openSettings);
    connect(Commande_Cluster, &QLineEdit::returnPressed, this, &ClusterWindow::sendCommand);
    connect(&client, &ClusterClient::stateChanged, this,
            [this](ClusterClient::State, const QString& text) { Etat_Cluster->setText(text); });
    connect(&feed_, &ClusterFeed::consoleLines, this, &ClusterWindow::showConsoleLines);
    connect(&feed_, &ClusterFeed::unshownChanged, Unshown_Count, &QLabel::setText);
}

void ClusterWindow::buildFilters() {
    Filtre_Utile = named(new QCheckBox("Seulement ce qu'il me faut", this), "Filtre_Utile");
    Filtre_Bande = named(new QComboBox(this), "Filtre_Bande");
    Filtre_Mode = named(new QComboBox(this), "Filtre_Mode");
    Sonnerie = named(new QCheckBox("Sonner pour une nouvelle contrée", this), "Sonnerie");
    Filtre_Bande->addItem("Toutes les bandes");
    for (std::string_view band : dxcc::kBands) Filtre_Bande->addItem(fromView(band).trimmed());
    Filtre_Mode->addItem("Tous les modes", 0);
    for (ModeClass c : {ModeClass::Phone, ModeClass::Cw, ModeClass::Digital}) {
        Filtre_Mode->addItem(fromView(dxcc::cluster::spotClassText(c)), int(c));
        if (c == ModeClass::Digital)
            Filtre_Mode->setItemData(Filtre_Mode->count() - 1, fromView(msg::kDigitalClassTip),
                                     Qt::ToolTipRole);
    }
    Sonnerie->setChecked(feed_.bellWanted());
    connect(Filtre_Utile, &QCheckBox::toggled, this, &ClusterWindow::applyFilters);
    connect(Filtre_Bande, &QComboBox::currentIndexChanged, this, &ClusterWindow::applyFilters);
    connect(Filtre_Mode, &QComboBox::currentIndexChanged, this, &ClusterWindow::applyFilters);
    connect(Sonnerie, &QCheckBox::toggled, &feed_, &ClusterFeed::setBellWanted);
}

void ClusterWindow::buildList() {
    Liste_Spots = named(new SpotView(this), "Liste_Spots");
    filtered_->setSourceModel(&feed_.spots());
    Liste_Spots->setModel(filtered_);
    const int em = fontMetrics().horizontalAdvance('M');
    const int widths[] = {4, 6, 8, 5, 11, 4, 12, 7};
    for (int c = 0; c < int(std::size(widths)); ++c)
        Liste_Spots->setColumnWidth(c, widths[c] * em + 8);
    connect(Liste_Spots, &SpotView::chosen, this, &ClusterWindow::takeSpot);
}

void ClusterWindow::takeSpot(const QModelIndex& index) {
    if (!index.isValid()) return;
    const auto& s = feed_.spots().spotAt(filtered_->mapToSource(index).row());
    emit spotChosen(fromCp1252(s.spot.dx), fromCp1252(s.band), s.modeClass,
                    dxcc::radio::hertzOfKilohertz(s.spot.kilohertz));
}

void ClusterWindow::layOut() {
    auto* top = new QHBoxLayout;
    top->addWidget(Connecter);
    top->addWidget(Deconnecter);
    top->addWidget(Reglages_Cluster);
    top->addWidget(Etat_Cluster, 1);
    top->addWidget(Unshown_Count);
    auto* filters = new QHBoxLayout;
    filters->addWidget(Filtre_Utile);
    filters->addWidget(Filtre_Bande);
    filters->addWidget(Filtre_Mode);
    filters->addWidget(Sonnerie);
    filters->addStretch(1);
    auto* envoyer = named(new QPushButton("Envoyer", this), "Envoyer_Commande");
    connect(envoyer, &QPushButton::clicked, this, &ClusterWindow::sendCommand);
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
    resize(fontMetrics().horizontalAdvance('M') * 92, fontMetrics().height() * 34);
}

void ClusterWindow::applyFilters() {
    dxcc::cluster::SpotFilter filter;
    filter.neededOnly = Filtre_Utile->isChecked();
    if (Filtre_Bande->currentIndex() > 0)
        filter.bands = '|' + toCp1252(Filtre_Bande->currentText()) + '|';
    if (const int c = Filtre_Mode->currentData().toInt()) filter.classes = uint8_t(1u << c);
    filtered_->setAccepts([filter = std::move(filter), &spots = feed_.spots()](int row) {
        return filter.accepts(spots.spotAt(row));
    });
    // Other spots now: the list starts again from the newest.
    Liste_Spots->showNewest();
}

void ClusterWindow::openSettings() {
    ClusterSettingsDialog dialog(session_.settings(), this);
    if (dialog.exec() == QDialog::Accepted) feed_.settingsChanged();
}

void ClusterWindow::sendCommand() {
    const QString text = Commande_Cluster->text().trimmed();
    if (text.isEmpty()) return;
    feed_.sendCommand(text);
    Commande_Cluster->clear();
}

void ClusterWindow::showConsoleLines(const QStringList& lines) {
    // One insertion for the whole batch: the console lays out once.
    Console_Cluster->appendPlainText(lines.join('\n'));
}

}  // namespace ui
