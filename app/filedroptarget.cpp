#include "app/filedroptarget.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

FileDropTarget::FileDropTarget(QObject *parent, Handler onDrop)
    : QObject(parent)
    , m_onDrop(std::move(onDrop))
{
}

void FileDropTarget::watch(QWidget *widget)
{
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
}

bool FileDropTarget::carriesLocalFileFirst(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return false;
    const QList<QUrl> entries = data->urls();
    return !entries.isEmpty() && entries.constFirst().isLocalFile()
        && !entries.constFirst().toLocalFile().isEmpty();
}

bool FileDropTarget::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (!carriesLocalFileFirst(drag->mimeData()))
            return false;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (!carriesLocalFileFirst(drop->mimeData()))
            return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        QTimer::singleShot(0, this, [this, entries = drop->mimeData()->urls()] { m_onDrop(entries); });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
