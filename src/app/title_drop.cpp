#include "app/title_drop.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace corvane::app {

QString FirstDroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) return QString();
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return QString();
    return urls.first().toLocalFile();
}

TitleDropTarget::TitleDropTarget(QWidget* title, Accepts accepts, Dropped dropped)
    : QObject(title), accepts_(std::move(accepts)), dropped_(std::move(dropped)) {
    title->setAcceptDrops(true);
    title->installEventFilter(this);
}

bool TitleDropTarget::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            const QString path = FirstDroppedFile(drag->mimeData());
            if (!path.isEmpty() && accepts_(path)) {
                drag->acceptProposedAction();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString path = FirstDroppedFile(drop->mimeData());
            // Checked again: the drop is what opens the file.
            if (path.isEmpty() || !accepts_(path)) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            dropped_(path);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

}  // namespace corvane::app
