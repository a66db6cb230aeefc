#include "windows/cluster/spot_table_model.h"

#include <QColor>

#include "core/cluster/cluster_messages.h"
#include "platform/text.h"

namespace ui {

using dxcc::cluster::SpotColour;

QColor spotColour(SpotColour colour) {
    switch (colour) {
        case SpotColour::NewEntity:
            return {0xFF, 0x8C, 0x8C};
        case SpotColour::NewSlot:
            return {0xFF, 0xC8, 0x6E};
        case SpotColour::ToConfirm:
            return {0xFF, 0xFF, 0xA0};
        case SpotColour::Confirmed:
            return {0xC8, 0xF0, 0xC8};
        case SpotColour::Unknown:
            break;
    }
    return {};
}

bool SpotTableModel::add(dxcc::cluster::ClassifiedSpot spot, int64_t receivedAt) {
    if (auto same = list_.sameSpotRow(spot.spot.dx, spot.band, receivedAt)) {
        const int from = int(*same);
        const bool moves = from != 0 && beginMoveRows({}, from, from, {}, 0);
        list_.add(std::move(spot), receivedAt);
        if (moves) endMoveRows();
        emit dataChanged(index(0, 0), index(0, Count - 1));
        return false;
    }
    if (list_.full()) {
        beginRemoveRows({}, int(list_.size()) - 1, int(list_.size()) - 1);
        list_.dropOldest();
        endRemoveRows();
    }
    beginInsertRows({}, 0, 0);
    list_.add(std::move(spot), receivedAt);
    endInsertRows();
    return true;
}

void SpotTableModel::reclassify(const dxcc::PrefixTable& prefixes,
                                const dxcc::cluster::NeededLookup& needed) {
    if (list_.size() == 0) return;
    list_.reclassify(prefixes, needed);
    emit dataChanged(index(0, 0), index(int(list_.size()) - 1, Count - 1));
}

int SpotTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(list_.size());
}

int SpotTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count;
}

QVariant SpotTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(list_.size())) return {};
    const auto& s = list_.at(size_t(index.row()));
    if (role == Qt::BackgroundRole) {
        const QColor c = spotColour(s.colour);
        return c.isValid() ? QVariant(c) : QVariant();
    }
    if (role == Qt::TextAlignmentRole && index.column() == Frequency)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && index.column() == Mode &&
        s.modeClass == dxcc::ModeClass::Digital)
        return fromView(dxcc::cluster::messages::kDigitalClassTip);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (index.column()) {
        case Time:
            return fromCp1252(s.spot.time);
        case Frequency:
            return fromCp1252(s.spot.frequencyText);
        case Callsign:
            return fromCp1252(s.spot.dx);
        case Band:
            return fromCp1252(s.band);
        case Mode:
            return QString::fromStdString(dxcc::cluster::spotModeText(s));
        case Prefix:
            return fromCp1252(s.dxccPrefix);
        case Entity:
            return fromCp1252(s.entityName);
        case Spotter:
            return fromCp1252(s.spot.spotter);
        case Comment:
            return fromCp1252(s.spot.comment);
    }
    return {};
}

QVariant SpotTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kHeaders[Count] = {
        "UTC", "kHz", "Indicatif", "Bande", "Mode", "Préfixe", "Contrée", "Spotter", "Commentaire"};
    return section >= 0 && section < Count ? QString::fromUtf8(kHeaders[section]) : QVariant();
}

void SpotFilterModel::setFilter(dxcc::cluster::SpotFilter filter) {
    filter_ = std::move(filter);
    invalidateFilter();
}

bool SpotFilterModel::filterAcceptsRow(int row, const QModelIndex&) const {
    const auto* model = static_cast<const SpotTableModel*>(sourceModel());
    return filter_.accepts(model->spotAt(row));
}

}  // namespace ui
