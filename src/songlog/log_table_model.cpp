#include "songlog/log_table_model.h"

namespace corvane {

int LogTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int LogTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant LogTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_.size()) return {};
    const LogEntry& e = rows_[index.row()];
    switch (index.column()) {
        case DateColumn:
            return e.date;
        case TimeColumn:
            return e.time;
        case SongColumn:
            return e.file;
        default:
            return {};
    }
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    switch (section) {
        case DateColumn:
            return QStringLiteral("Date");
        case TimeColumn:
            return QStringLiteral("Time");
        case SongColumn:
            return QStringLiteral("Song");
        default:
            return {};
    }
}

void LogTableModel::Clear() {
    if (rows_.isEmpty()) return;
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void LogTableModel::Append(const QList<LogEntry>& entries, qsizetype from, qsizetype to) {
    if (to <= from) return;
    beginInsertRows({}, int(rows_.size()), int(rows_.size() + (to - from) - 1));
    rows_.append(entries.mid(from, to - from));
    endInsertRows();
}

void LogTableModel::Append(const LogEntry& entry) { Append(QList<LogEntry>{entry}, 0, 1); }

}  // namespace corvane
