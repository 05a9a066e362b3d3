#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QMimeData;
class QWidget;

namespace corvane::app {

// The first file a drag from the desktop's file manager carries ("text/uri-list"); empty when
// the first entry is not a local file, so that remote places are never opened.
QString FirstDroppedFile(const QMimeData* data);

// Makes a line's title a drop target: a drag whose first file `accepts` refuses shows no drop
// effect, and a drop hands that file to `dropped`. Owned by the title it watches.
class TitleDropTarget : public QObject {
    Q_OBJECT

public:
    using Accepts = std::function<bool(const QString& path)>;
    using Dropped = std::function<void(const QString& path)>;

    TitleDropTarget(QWidget* title, Accepts accepts, Dropped dropped);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Accepts accepts_;
    Dropped dropped_;
};

}  // namespace corvane::app
