#pragma once

#include <QAbstractListModel>
#include <QStringList>

namespace corvane {

// The rows of the Playlist Editor's list: one file name per SongList entry, in the same order.
// A plain model of texts, so a list view shows 100,000 rows without an item object per row.
class SongRows : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    qsizetype Count() const { return rows_.size(); }
    const QStringList& Rows() const { return rows_; }

    // Replaces every row in one reset.
    void Reset(QStringList rows);
    void Insert(qsizetype row, const QString& text);
    void Append(const QStringList& texts);
    void Remove(qsizetype row);
    void Clear();

private:
    QStringList rows_;
};

}  // namespace corvane
