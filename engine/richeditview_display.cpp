#include "engine/fastdocumentlayout.h"
#include "engine/formatmapping.h"
#include "engine/richeditview.h"
#include "engine/richeditview_p.h"
#include "engine/textprops.h"
#include "engine/urldetector.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

namespace engine {

namespace {

bool holdsPasteableFormat(const QMimeData *source)
{
    if (!source)
        return false;
    static const QStringList richFormats{QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
                                         QStringLiteral("text/richtext")};
    for (const QString &format : richFormats)
        if (source->hasFormat(format))
            return true;
    return source->hasText() || source->hasHtml() || source->hasImage();
}

// The run of characters around `position` whose fragments share one hyperlink target.
CharRange hyperlinkRangeAt(const QTextBlock &block, int position)
{
    QString href;
    int start = -1;
    int end = -1;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        const bool link = isHyperlink(format);
        if (link && start >= 0 && format.anchorHref() == href && fragment.position() == end) {
            end += fragment.length();
            continue;
        }
        if (start >= 0 && start <= position && position < end)
            return {start, end};
        start = link ? fragment.position() : -1;
        end = link ? fragment.position() + fragment.length() : -1;
        href = link ? format.anchorHref() : QString();
    }
    if (start >= 0 && start <= position && position < end)
        return {start, end};
    return {-1, -1};
}

}  // namespace

CharRange RichEditView::linkAt(int position) const
{
    if (position < 0 || position >= textLength())
        return {-1, -1};
    const QTextBlock block = document()->findBlock(position);
    const CharRange hyperlink = hyperlinkRangeAt(block, position);
    if (hyperlink.min >= 0 || !autoUrlDetect())
        return hyperlink;
    const int inBlock = position - block.position();
    for (const TextSpan &url : findUrls(block.text()))
        if (url.start <= inBlock && inBlock < url.end())
            return {block.position() + url.start, block.position() + url.end()};
    return {-1, -1};
}

void RichEditView::notifyLink(QEvent::Type type, const QPoint &viewportPos)
{
    const QPointF documentPos = viewportPos + QPointF(horizontalScrollBar()->value(),
                                                      verticalScrollBar()->value());
    const int position = document()->documentLayout()->hitTest(documentPos, Qt::ExactHit);
    CharRange link{-1, -1};
    if (position >= 0) {
        link = linkAt(position);
        if (link.min < 0 && position > 0)
            link = linkAt(position - 1);
    }
    d->linkUnderMouse = link;
    viewport()->setCursor(link.min >= 0 ? Qt::PointingHandCursor : Qt::IBeamCursor);
    if (link.min >= 0 && (d->eventMask & ENM_LINK))
        emit linkNotify(type, link);
}

bool RichEditView::viewportEvent(QEvent *event)
{
    // Hit tests need the layout's positions up to date.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::ToolTip:
        if (auto *layout = dynamic_cast<FastDocumentLayout *>(document()->documentLayout()))
            layout->syncPositions();
        break;
    default:
        break;
    }
    return QTextEdit::viewportEvent(event);
}

void RichEditView::mousePressEvent(QMouseEvent *event)
{
    notifyLink(QEvent::MouseButtonPress, event->position().toPoint());
    QTextEdit::mousePressEvent(event);
}

void RichEditView::mouseReleaseEvent(QMouseEvent *event)
{
    notifyLink(QEvent::MouseButtonRelease, event->position().toPoint());
    QTextEdit::mouseReleaseEvent(event);
}

void RichEditView::mouseMoveEvent(QMouseEvent *event)
{
    notifyLink(QEvent::MouseMove, event->position().toPoint());
    QTextEdit::mouseMoveEvent(event);
}

bool RichEditView::canPasteClipboard() const
{
    return holdsPasteableFormat(QGuiApplication::clipboard()->mimeData());
}

bool RichEditView::canInsertFromMimeData(const QMimeData *source) const
{
    return holdsPasteableFormat(source) || QTextEdit::canInsertFromMimeData(source);
}

void RichEditView::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasImage() || source->hasHtml() || source->hasText()) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    // A picture: kept as PNG bytes so that it can be written back out.
    const QImage image = qvariant_cast<QImage>(source->imageData());
    if (image.isNull())
        return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const QUrl name(QStringLiteral("pasted-image-%1").arg(qHash(png)));
    document()->addResource(QTextDocument::ImageResource, name, image);
    QTextImageFormat format;
    format.setName(name.toString());
    format.setWidth(image.width());
    format.setHeight(image.height());
    format.setProperty(prop::ImageOriginalBytes, png);
    format.setProperty(prop::ImageOriginalKind, QStringLiteral("png"));
    QTextCursor cursor = textCursor();
    cursor.insertImage(format);
    setTextCursor(cursor);
}

void RichEditView::setBackgroundColor(const QColor &color)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Base, color);
    setPalette(colours);
    viewport()->setPalette(colours);
}

void RichEditView::setFormatRect(const QRect &rect)
{
    d->formatRect = rect;
    applyFormatRect();
}

QRect RichEditView::formatRect() const
{
    return d->formatRect.isNull() ? viewport()->rect() : d->formatRect;
}

// The left inset and top move the text; the right edge fixes the line width.
void RichEditView::applyFormatRect()
{
    const QRect rect = d->formatRect;
    if (rect.isNull()) {
        setViewportMargins(0, 0, 0, 0);
        setLineWrapMode(QTextEdit::WidgetWidth);
        return;
    }
    setViewportMargins(std::max(0, rect.left()), std::max(0, rect.top()), 0, 0);
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setLineWrapColumnOrWidth(std::max(1, rect.width()));
}

}  // namespace engine
