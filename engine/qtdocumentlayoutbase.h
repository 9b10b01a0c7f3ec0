#pragma once
#include <QAbstractTextDocumentLayout>
#include <QTextDocument>

// Qt's standard document layout (the one every QTextDocument gets by default) is exported
// by QtGui but ships without a public header. Its interface is declared here, exactly as
// the library exports it, so that the engine can extend it rather than re-implement all of
// rich text layout. The class adds no virtual functions and no data members to
// QAbstractTextDocumentLayout; the library's own metaObject()/qt_metacast()/qt_metacall()
// keep qobject_cast and its properties working for subclasses.
QT_BEGIN_NAMESPACE

class QTextDocumentLayout : public QAbstractTextDocumentLayout {
public:
    explicit QTextDocumentLayout(QTextDocument *document);

    static const QMetaObject staticMetaObject;
    const QMetaObject *metaObject() const override;
    void *qt_metacast(const char *name) override;
    int qt_metacall(QMetaObject::Call call, int id, void **arguments) override;

    void draw(QPainter *painter, const PaintContext &context) override;
    int hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override;
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QRectF blockBoundingRect(const QTextBlock &block) const override;

    QSizeF dynamicDocumentSize() const;
    int layoutStatus() const;  // percent of the document laid out; 100 when complete

protected:
    void documentChanged(int from, int oldLength, int length) override;
    void resizeInlineObject(QTextInlineObject item, int posInDocument, const QTextFormat &format) override;
    void positionInlineObject(QTextInlineObject item, int posInDocument, const QTextFormat &format) override;
    void drawInlineObject(QPainter *painter, const QRectF &rect, QTextInlineObject object, int posInDocument,
                          const QTextFormat &format) override;
    void timerEvent(QTimerEvent *event) override;
};

static_assert(sizeof(QTextDocumentLayout) == sizeof(QAbstractTextDocumentLayout));

QT_END_NAMESPACE
