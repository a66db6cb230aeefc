#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <vector>

#include "core/digital/decode_rows.h"

namespace ui {

// The decodes heard, newest period first, one row per callsign and period,
// coloured by what a contact would bring.
class DecodeTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Time,
        Snr,
        DeltaTime,
        Offset,
        Message,
        Callsign,
        Entity,
        Continent,
        Heading,
        Km,
        EntityStatus,
        BandStatus,
        ModeStatus,
        Count
    };
    explicit DecodeTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Decodes heard together, oldest first: new rows on top, the oldest rows
    // beyond the list's size taken away.
    void add(std::vector<dxcc::digital::DecodeRow> batch);
    const dxcc::digital::DecodeRow& rowAt(int row) const { return rows_.at(size_t(row)); }
    // Each row classified again (the log changed).
    void reclassify(const std::function<void(dxcc::digital::DecodeRow&)>& classify);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVariant text(const dxcc::digital::ClassifiedDecode& d, int column) const;

    dxcc::digital::DecodeRows rows_;
};

}  // namespace ui
