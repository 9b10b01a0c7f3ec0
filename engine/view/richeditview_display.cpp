#include "engine/view/fastdocumentlayout.h"
#include "engine/codec/documentinsertion.h"
#include "engine/codec/formatmapping.h"
#include "engine/codec/plaintext.h"
#include "engine/codec/pngencoding.h"
#include "engine/codec/rtfpasteatend.h"
#include "engine/view/clipboarddata.h"
#include "engine/view/richeditview.h"
#include "engine/view/richeditview_p.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"
#include "engine/codec/textprops.h"
#include "engine/view/urldetector.h"

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
#include <QTextLayout>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <memory>

namespace engine {

namespace {

// Text this long fills more than any window shows.
constexpr int kLongInsertionChars = 100000;

QByteArray rtfOf(const QMimeData *source)
{
    for (const QString &type : ClipboardData::rtfTypes())
        if (source->hasFormat(type))
            return source->data(type);
    return {};
}

bool holdsPasteableFormat(const QMimeData *source)
{
    if (!source)
        return false;
    for (const QString &type : ClipboardData::rtfTypes())
        if (source->hasFormat(type))
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

bool holdsPictures(const QTextDocument &document)
{
    const QList<QTextFormat> formats = document.allFormats();
    return std::any_of(formats.begin(), formats.end(), [](const QTextFormat &format) { return format.isImageFormat(); });
}

// Pictures of a pasted document become resources of the target under names of their own,
// so that they neither clash with the target's pictures nor get lost on insertion. The
// new name ends with the old one, which tells a note's mark by its kind and number. A
// document without pictures is not walked through.
void adoptPictures(QTextDocument &pasted, QTextDocument *target)
{
    if (!holdsPictures(pasted))
        return;
    static int pastedPictures = 0;
    struct Picture {
        int position;
        QTextImageFormat format;
    };
    QList<Picture> pictures;  // collected first: renaming changes the fragments
    for (QTextBlock block = pasted.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                for (int i = 0; i < it.fragment().length(); ++i)
                    pictures.append({it.fragment().position() + i, it.fragment().charFormat().toImageFormat()});
    for (Picture &picture : pictures) {
        const QVariant resource = pasted.resource(QTextDocument::ImageResource, QUrl(picture.format.name()));
        const QString name = QStringLiteral("pasted%1-").arg(++pastedPictures) + picture.format.name();
        target->addResource(QTextDocument::ImageResource, QUrl(name), resource);
        picture.format.setName(name);
        QTextCursor cursor(&pasted);
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
    }
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
    if (event->button() == Qt::LeftButton && !(event->modifiers() & Qt::ShiftModifier))
        selectObjectAt(event->position().toPoint());
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

QMimeData *RichEditView::createMimeDataFromSelection() const
{
    // Other word processors take the selection as RTF; text and HTML go along. Both are
    // written straight from the document: a copy of the selection (Qt's fragment) would
    // cost time growing with the square of the length of each list in it.
    // A container that supplies its own clipboard data is asked first.
    QMimeData *containerData = nullptr;
    if (m_oleCallback && m_oleCallback->GetClipboardData(containerData) == OleResult::Ok && containerData)
        return containerData;
    const QTextCursor selection = textCursor();
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    return new ClipboardData(writeRtfRange(document(), start, end), plainTextOfRange(document(), start, end));
}

void RichEditView::insertFromMimeData(const QMimeData *source)
{
    // Qt's own insertion refuses a read-only view; the RTF and picture paths below must too.
    if (isReadOnly())
        return;
    if (m_oleCallback && m_oleCallback->QueryAcceptData(source, true) != OleResult::Ok)
        return;
    const QByteArray rtf = source ? rtfOf(source) : QByteArray();
    if (!rtf.isEmpty() && pasteRtf(rtf))
        return;
    if (!source || !source->hasImage() || source->hasHtml() || source->hasText()) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    // A picture: kept as PNG bytes so that it can be written back out.
    const QImage image = qvariant_cast<QImage>(source->imageData());
    if (image.isNull())
        return;
    const QByteArray png = encodePng(image);
    if (png.isEmpty())
        return;  // kept without its bytes, it would vanish on saving
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

// At the end of the document the RTF is read straight in; elsewhere it is read into a
// document of its own, which is then inserted at the cursor.
bool RichEditView::pasteRtf(const QByteArray &rtf)
{
    QTextCursor cursor = textCursor();
    const bool atEnd = canPasteRtfAtEnd(cursor);
    QTextDocument pasted;
    if (atEnd ? !checkRtf(rtf).result.ok() : !readRtf(rtf, &pasted).ok())
        return false;
    if (!atEnd)
        adoptPictures(pasted, document());
    const bool longInsertion = (atEnd ? rtf.size() : pasted.characterCount()) >= kLongInsertionChars;
    if (longInsertion)
        longInsertionStarts();
    if (atEnd)
        pasteRtfAtEnd(cursor, rtf);
    else
        insertDocument(cursor, &pasted);
    setTextCursor(cursor);
    if (longInsertion)
        longInsertionEnds();
    return true;
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

// The left inset and top move the text; the right edge fixes the line width. Moving the
// viewport can show or hide a scroll bar, for which the owner may set a newer rectangle
// at once: that one stands, and this one's width is not applied after it.
void RichEditView::applyFormatRect()
{
    const QRect rect = d->formatRect;
    if (rect.isNull()) {
        setViewportMargins(0, 0, 0, 0);
        if (d->formatRect.isNull())
            setLineWrapMode(QTextEdit::WidgetWidth);
        return;
    }
    setViewportMargins(std::max(0, rect.left()), std::max(0, rect.top()), 0, 0);
    if (d->formatRect != rect)
        return;
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setLineWrapColumnOrWidth(std::max(1, rect.width()));
}

}  // namespace engine

namespace engine {

// The text at the top of the view stays there: the line that holds its first character.
void RichEditView::rememberTopOfView()
{
    d->topPosition = -1;
    const int scroll = verticalScrollBar()->value();
    const int position = document()->documentLayout()->hitTest(QPointF(0, scroll), Qt::FuzzyHit);
    if (position < 0)
        return;
    d->topPosition = position;
    d->topOffset = lineTop(position) - scroll;
}

void RichEditView::restoreTopOfView()
{
    if (d->topPosition < 0)
        return;
    verticalScrollBar()->setValue(int(std::lround(lineTop(d->topPosition) - d->topOffset)));
    d->topPosition = -1;
}

qreal RichEditView::lineTop(int position) const
{
    const QTextBlock block = document()->findBlock(position);
    const qreal top = document()->documentLayout()->blockBoundingRect(block).top();
    const QTextLine line = block.layout()->lineForTextPosition(position - block.position());
    return line.isValid() ? top + line.y() : top;
}

}  // namespace engine
