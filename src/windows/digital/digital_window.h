#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "core/session/log_session.h"
#include "windows/cluster/spot_view.h"
#include "windows/common/row_filter_model.h"
#include "windows/digital/decode_table_model.h"
#include "windows/digital/digital_feed.h"

namespace ui {

// "Trafic numérique (WSJT-X)": the decodes of WSJT-X and JTDX coloured by
// what the log needs, the filters, and the decoders heard. It shows the
// program's digital feed: closing it leaves the feed listening.
class DigitalWindow : public QWidget {
    Q_OBJECT
public:
    DigitalWindow(dxcc::LogSession& session, DigitalFeed& feed, QWidget* parent = nullptr);

    QLabel* Etat_Ecoute;
    QPushButton* Ecouter;
    QPushButton* Arreter_Ecoute;
    QPushButton* Reglages_WSJTX;
    QCheckBox* Filtre_CQ;
    QCheckBox* Filtre_Utile;
    QCheckBox* Filtre_Bande_Decodeur;
    QCheckBox* Filtre_Continent;
    SpotView* Liste_Decodes;
    QLabel* Decodeurs;

signals:
    // A decode chosen (double-click or Enter): its row in the feed's list.
    void decodeChosen(int row);

private:
    void buildFilters();
    void buildList();
    void layOut();
    void applyFilters();
    void openSettings();
    void choose(const QModelIndex& index);

    dxcc::LogSession& session_;
    DigitalFeed& feed_;
    RowFilterModel* filtered_;
    int listWidth_ = 0;
};

}  // namespace ui
