#include "windows/digital/decode_table_model.h"

#include <QColor>
#include <QFont>

#include "core/digital/digital_window_text.h"
#include "platform/colours.h"
#include "platform/text.h"

namespace ui {

namespace dd = dxcc::digital;
using dxcc::NeedColour;

void DecodeTableModel::add(std::vector<dd::DecodeRow> batch) {
    if (batch.empty()) return;
    const size_t newRows = rows_.newRowsOf(batch);
    if (newRows > 0) beginInsertRows({}, 0, int(newRows) - 1);
    const std::vector<size_t> updated = rows_.add(std::move(batch));
    if (newRows > 0) endInsertRows();
    if (!updated.empty())
        emit dataChanged(index(int(updated.front()), 0), index(int(updated.back()), Count - 1));
    if (const size_t excess = rows_.excess()) {
        const int size = int(rows_.size());
        beginRemoveRows({}, size - int(excess), size - 1);
        rows_.trim();
        endRemoveRows();
    }
}

void DecodeTableModel::reclassify(const std::function<void(dd::DecodeRow&)>& classify) {
    if (rows_.size() == 0) return;
    for (size_t r = 0; r < rows_.size(); ++r) classify(rows_.at(r));
    emit dataChanged(index(0, 0), index(int(rows_.size()) - 1, Count - 1));
}

int DecodeTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int DecodeTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count;
}

QVariant DecodeTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(rows_.size())) return {};
    const dd::ClassifiedDecode& d = rows_.at(size_t(index.row())).decode;
    switch (role) {
        case Qt::BackgroundRole: {
            const QColor c = needRowColour(d.colour);
            return c.isValid() ? QVariant(c) : QVariant();
        }
        case Qt::ForegroundRole:
            // Dark text on the light colours, whatever the system's theme.
            return d.colour == NeedColour::Unknown ? QVariant() : QVariant(QColor(Qt::black));
        case Qt::FontRole: {
            if (d.colour != NeedColour::NewEntity) return {};
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        case Qt::TextAlignmentRole:
            if (index.column() == Message || index.column() == Callsign || index.column() == Entity)
                return int(Qt::AlignLeft | Qt::AlignVCenter);
            return int(index.column() <= Offset || index.column() == Heading || index.column() == Km
                           ? Qt::AlignRight | Qt::AlignVCenter
                           : Qt::AlignCenter);
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return text(d, index.column());
    }
    return {};
}

QVariant DecodeTableModel::text(const dd::ClassifiedDecode& d, int column) const {
    const auto letter = [](const std::optional<dxcc::Need>& n) {
        return n ? fromView(dxcc::needLetter(*n)) : QString();
    };
    switch (column) {
        case Time:
            return QString::fromStdString(dd::clockText(d.decode.time));
        case Snr:
            return QString::fromStdString(dd::snrText(d.decode.snr));
        case DeltaTime:
            return QString::fromStdString(dd::deltaTimeText(d.decode.deltaTime));
        case Offset:
            return QString::number(d.decode.deltaFrequency);
        case Message:
            return QString::fromStdString(d.decode.message).simplified();
        case Callsign:
            return QString::fromStdString(d.callsign());
        case Entity:
            return fromCp1252(d.entityName);
        case Continent:
            return fromCp1252(d.continent);
        case Heading:
            return d.heading ? QString::number(*d.heading) : QString();
        case Km:
            return d.km ? QString::number(*d.km) : QString();
        case EntityStatus:
            return letter(d.entityNeed);
        case BandStatus:
            return letter(d.bandNeed);
        case ModeStatus:
            return letter(d.modeNeed);
    }
    return {};
}

QVariant DecodeTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= Count) return {};
    static const char* const kHeaders[Count] = {"UTC",       "dB",      "DT",    "Hz",  "Message",
                                                "Indicatif", "Contrée", "Cont.", "Az.", "km",
                                                "DXCC",      "Bande",   "Mode"};
    if (role == Qt::DisplayRole) return QString::fromUtf8(kHeaders[section]);
    if (role == Qt::ToolTipRole && section >= EntityStatus)
        return QString::fromUtf8("N : jamais contacté, W : contacté, C : confirmé");
    return {};
}

}  // namespace ui
