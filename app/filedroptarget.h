#pragma once
#include <QList>
#include <QObject>
#include <QUrl>
#include <functional>

class QMimeData;
class QWidget;

// Takes drops of files from the file manager on the widgets it watches and hands the
// dropped entries to a handler. It claims a drag only when the first entry it carries is
// a local file: any other drag (text, links) goes on to the widget as before, so that an
// editor still inserts dropped text. The handler runs after the drop has finished, so
// that a question it asks does not keep the dragging program waiting.
class FileDropTarget : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const QList<QUrl> &entries)>;

    FileDropTarget(QObject *parent, Handler onDrop);

    // Makes `widget` accept drops and watches its drag events.
    void watch(QWidget *widget);

    // Whether a drag carrying `data` is a drop of files this target takes.
    static bool carriesLocalFileFirst(const QMimeData *data);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Handler m_onDrop;
};
