#include "windows/cluster/spot_table_model.h"

#include <QColor>

#include "core/cluster/cluster_messages.h"
#include "platform/colours.h"
#include "platform/text.h"

namespace ui {

std::vector<bool> SpotTableModel::add(std::vector<dxcc::cluster::ClassifiedSpot> spots,
                                      int64_t receivedAt) {
    auto plan = list_.planBatch(spots, receivedAt);
    for (const auto& [first, count] : plan.removedRuns()) {
        beginRemoveRows({}, int(first), int(first + count - 1));
        list_.removeRows(first, count);
        endRemoveRows();
    }
    if (!plan.top.empty()) {
        std::vector<dxcc::cluster::ClassifiedSpot> top;
        top.reserve(plan.top.size());
        for (size_t i : plan.top) top.push_back(std::move(spots[i]));
        beginInsertRows({}, 0, int(top.size()) - 1);
        list_.addOnTop(std::move(top), receivedAt);
        endInsertRows();
    }
    return std::move(plan.newRow);
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
        const QColor c = needRowColour(s.colour);
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

}  // namespace ui
