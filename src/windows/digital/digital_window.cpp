#include "windows/digital/digital_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "core/base/text_utils.h"
#include "core/digital/digital_window_text.h"
#include "platform/text.h"
#include "windows/common/named.h"
#include "windows/digital/digital_settings_dialog.h"

namespace ui {

namespace msg = dxcc::digital::window_messages;

DigitalWindow::DigitalWindow(dxcc::LogSession& session, DigitalFeed& feed, QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      feed_(feed),
      filtered_(new RowFilterModel(this)) {
    setObjectName("Trafic_Numerique");
    setWindowTitle(fromView(msg::kWindowTitle));
    Etat_Ecoute = named(new QLabel(feed_.listeningText(), this), "Etat_Ecoute");
    Ecouter = named(new QPushButton("Écouter", this), "Ecouter");
    Arreter_Ecoute = named(new QPushButton("Arrêter", this), "Arreter_Ecoute");
    Reglages_WSJTX = named(new QPushButton("Réglages…", this), "Reglages_WSJTX");
    Decodeurs = named(new QLabel(feed_.decodersText(), this), "Decodeurs");
    buildFilters();
    buildList();
    layOut();

    connect(Ecouter, &QPushButton::clicked, &feed_, &DigitalFeed::startListening);
    connect(Arreter_Ecoute, &QPushButton::clicked, &feed_, &DigitalFeed::stopListening);
    connect(Reglages_WSJTX, &QPushButton::clicked, this, &DigitalWindow::openSettings);
    connect(&feed_, &DigitalFeed::listeningChanged, Etat_Ecoute, &QLabel::setText);
    connect(&feed_, &DigitalFeed::decodersChanged, this,
            [this] { Decodeurs->setText(feed_.decodersText()); });
    // The band filter follows the decoder's band.
    connect(&feed_, &DigitalFeed::decoderTuned, this, [this] {
        if (Filtre_Bande_Decodeur->isChecked()) applyFilters();
    });
}

void DigitalWindow::buildFilters() {
    Filtre_CQ = named(new QCheckBox("CQ seulement", this), "Filtre_CQ");
    Filtre_Utile = named(new QCheckBox("Seulement ce qu'il me faut", this), "Filtre_Utile");
    Filtre_Bande_Decodeur =
        named(new QCheckBox("Bande du décodeur seulement", this), "Filtre_Bande_Decodeur");
    Filtre_Continent = named(new QCheckBox("Cacher mon continent", this), "Filtre_Continent");
    for (QCheckBox* box : {Filtre_CQ, Filtre_Utile, Filtre_Bande_Decodeur, Filtre_Continent})
        connect(box, &QCheckBox::toggled, this, &DigitalWindow::applyFilters);
}

void DigitalWindow::buildList() {
    Liste_Decodes = named(new SpotView(this), "Liste_Decodes");
    filtered_->setSourceModel(&feed_.decodes());
    Liste_Decodes->setModel(filtered_);
    // Each column as wide as the widest text it shows, in bold (a new entity).
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const char* const widest[] = {"00:00:00",
                                  "-00",
                                  "-0.0",
                                  "0000",
                                  "CQ POTA VK2XYZ/P QF56",
                                  "VK2XYZ/P",
                                  "Falkland Islands",
                                  "Cont.",
                                  "000",
                                  "00000",
                                  "DXCC",
                                  "Bande",
                                  "Mode"};
    static_assert(std::size(widest) == DecodeTableModel::Count);
    int total = 0;
    for (int c = 0; c < int(std::size(widest)); ++c) {
        Liste_Decodes->setColumnWidth(c, metrics.horizontalAdvance(widest[c]) + 14);
        total += Liste_Decodes->columnWidth(c);
    }
    // The window opens wide enough for every column.
    listWidth_ = total + 24;
    connect(Liste_Decodes, &SpotView::chosen, this, &DigitalWindow::choose);
}

void DigitalWindow::layOut() {
    auto* top = new QHBoxLayout;
    top->addWidget(Ecouter);
    top->addWidget(Arreter_Ecoute);
    top->addWidget(Reglages_WSJTX);
    top->addWidget(Etat_Ecoute, 1);
    auto* filters = new QHBoxLayout;
    for (QCheckBox* box : {Filtre_CQ, Filtre_Utile, Filtre_Bande_Decodeur, Filtre_Continent})
        filters->addWidget(box);
    filters->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(filters);
    layout->addWidget(Liste_Decodes, 1);
    layout->addWidget(Decodeurs);
    resize(std::max(sizeHint().width(), listWidth_ + 24), fontMetrics().height() * 34);
}

void DigitalWindow::applyFilters() {
    dxcc::digital::DecodeFilter filter;
    filter.cqOnly = Filtre_CQ->isChecked();
    filter.neededOnly = Filtre_Utile->isChecked();
    if (Filtre_Bande_Decodeur->isChecked()) filter.band = feed_.currentBand();
    if (Filtre_Continent->isChecked()) filter.hiddenContinent = feed_.ownContinent();
    filtered_->setAccepts([filter = std::move(filter), &decodes = feed_.decodes()](int row) {
        return filter.accepts(decodes.rowAt(row));
    });
    Liste_Decodes->showNewest();
}

void DigitalWindow::openSettings() {
    DigitalSettingsDialog dialog(session_.settings(), this);
    if (dialog.exec() == QDialog::Accepted) feed_.settingsChanged();
}

void DigitalWindow::choose(const QModelIndex& index) {
    emit decodeChosen(filtered_->mapToSource(index).row());
}

}  // namespace ui
