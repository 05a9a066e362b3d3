#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QStringList>
#include <functional>

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

    // Where the song of a row was found again (its file having moved), or empty. Asked only for
    // the rows on show, once until the rows or RefreshMarks change it.
    using FoundLookup = std::function<QString(qsizetype row)>;
    void SetFoundLookup(FoundLookup lookup) { foundAt_ = std::move(lookup); }
    // Asks again for every row: the search for moved files has learned more.
    void RefreshMarks();
    // A row whose song was found again shows this after its name.
    static constexpr char kFoundMark[] = "  (found again)";

    // Replaces every row in one reset.
    void Reset(QStringList rows);
    void Insert(qsizetype row, const QString& text);
    void Append(const QStringList& texts);
    void Remove(qsizetype row);
    void Clear();

private:
    QString FoundAt(qsizetype row) const;

    QStringList rows_;
    FoundLookup foundAt_;
    mutable QHash<qsizetype, QString> found_;
};

}  // namespace corvane
