#pragma once

#include <QAbstractTableModel>
#include <QList>

#include "songlog/logfile.h"

namespace corvane {

// The log viewer's table: one row per entry, the columns "Date", "Time", "Song". Rows are
// appended in batches so a large log fills without one item per cell.
class LogTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { DateColumn, TimeColumn, SongColumn, kColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void Clear();
    // Appends entries [from, to) of `entries`.
    void Append(const QList<LogEntry>& entries, qsizetype from, qsizetype to);
    void Append(const LogEntry& entry);
    const LogEntry& Entry(int row) const { return rows_[row]; }

private:
    QList<LogEntry> rows_;
};

}  // namespace corvane
