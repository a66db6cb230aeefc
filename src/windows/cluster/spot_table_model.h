#pragma once

#include <QAbstractTableModel>

#include "core/cluster/spot_classifier.h"

namespace ui {

// The cluster's spots, newest first, as table rows; a spot seen again takes
// its row to the top rather than adding one.
class SpotTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Frequency, Callsign, Band, Mode, Prefix, Entity, Spotter, Comment, Count };
    explicit SpotTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Adds spots received together at `receivedAt` (seconds), oldest first,
    // as a few removals and one insertion at the top; per spot, whether it
    // took a row of its own (rather than updating one).
    std::vector<bool> add(std::vector<dxcc::cluster::ClassifiedSpot> spots, int64_t receivedAt);
    const dxcc::cluster::ClassifiedSpot& spotAt(int row) const { return list_.at(size_t(row)); }
    // Classifies every spot again: the log or the prefixes changed.
    void reclassify(const dxcc::PrefixTable& prefixes, const dxcc::cluster::NeededLookup& needed);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    dxcc::cluster::SpotList list_;
};

}  // namespace ui
