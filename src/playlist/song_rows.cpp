#include "playlist/song_rows.h"

namespace corvane {

int SongRows::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

QVariant SongRows::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size()) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const QString found = FoundAt(index.row());
    if (found.isEmpty()) return rows_.at(index.row());
    if (role == Qt::ToolTipRole) return found;
    return rows_.at(index.row()) + QLatin1String(kFoundMark);
}

QString SongRows::FoundAt(qsizetype row) const {
    if (!foundAt_) return {};
    auto known = found_.constFind(row);
    if (known == found_.constEnd()) known = found_.insert(row, foundAt_(row));
    return *known;
}

void SongRows::RefreshMarks() {
    found_.clear();
    if (!rows_.isEmpty()) Q_EMIT dataChanged(index(0), index(int(rows_.size()) - 1));
}

void SongRows::Reset(QStringList rows) {
    beginResetModel();
    found_.clear();
    rows_ = std::move(rows);
    endResetModel();
}

void SongRows::Insert(qsizetype row, const QString& text) {
    row = qBound(qsizetype(0), row, rows_.size());
    beginInsertRows(QModelIndex(), int(row), int(row));
    found_.clear();
    rows_.insert(row, text);
    endInsertRows();
}

void SongRows::Append(const QStringList& texts) {
    if (texts.isEmpty()) return;
    const int first = int(rows_.size());
    beginInsertRows(QModelIndex(), first, first + int(texts.size()) - 1);
    rows_.append(texts);
    endInsertRows();
}

void SongRows::Remove(qsizetype row) {
    if (row < 0 || row >= rows_.size()) return;
    beginRemoveRows(QModelIndex(), int(row), int(row));
    found_.clear();
    rows_.removeAt(row);
    endRemoveRows();
}

void SongRows::Clear() { Reset({}); }

}  // namespace corvane
