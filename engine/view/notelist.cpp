#include "engine/view/notelist.h"

#include "engine/codec/rtf/read/notemark.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QtGui/private/qtextdocument_p.h>
#include <QtGui/private/qtextformat_p.h>
#include <cmath>
#include <vector>

namespace engine {

namespace {

constexpr int kRebuildDelayMs = 300;
constexpr qreal kSmallerFont = 0.8;
constexpr qreal kRuleWidth = 144;
constexpr qreal kDefaultPointSize = 12;

// The note's text in the face of its mark, smaller than the text around the mark.
QTextCharFormat smallerText(const QTextCharFormat &mark)
{
    QTextCharFormat format;
    if (mark.hasProperty(QTextFormat::FontFamilies))
        format.setProperty(QTextFormat::FontFamilies, mark.property(QTextFormat::FontFamilies));
    const qreal size = mark.fontPointSize() > 0 ? mark.fontPointSize() : kDefaultPointSize;
    format.setFontPointSize(size * kSmallerFont);
    return format;
}

// Whether any format of the document is a note mark's: a document has few formats, and
// without such a format none of its runs is a mark.
bool holdsNoteMarkFormat(const QTextFormatCollection &formats)
{
    for (int index = 0; index < formats.numFormats(); ++index) {
        if (rtfin::noteLabel(formats.format(index)))
            return true;
    }
    return false;
}

}  // namespace

NoteList::NoteList(QTextEdit *view) : QObject(view), m_view(view)
{
    m_list.setDocumentMargin(0);
    m_rebuildTimer.setSingleShot(true);
    m_rebuildTimer.setInterval(kRebuildDelayMs);
    connect(&m_rebuildTimer, &QTimer::timeout, this, &NoteList::rebuild);
    connect(view->document(), &QTextDocument::contentsChange, this, &NoteList::noteChange);
    connect(view->verticalScrollBar(), &QScrollBar::rangeChanged, this, &NoteList::extendScrollRange);
}

// Only a change that may add or remove a mark is followed: typing costs nothing.
void NoteList::noteChange(int position, int removed, int added)
{
    constexpr int kLargeChange = 256;  // a load or a paste: one pass over the document
    if ((removed > 0 && m_count > 0) || added > kLargeChange) {
        m_rebuildTimer.start();
        return;
    }
    const QTextDocument *document = m_view->document();
    for (int at = position; at < position + added; ++at) {
        if (document->characterAt(at) == QChar::ObjectReplacementCharacter) {
            m_rebuildTimer.start();
            return;
        }
    }
}

// Runs are read straight from the document's storage, and each format is asked once
// whether it is a note mark: a large document has few formats and many runs.
void NoteList::rebuild()
{
    m_rebuildTimer.stop();
    const QTextDocumentPrivate *storage = QTextDocumentPrivate::get(m_view->document());
    const QTextFormatCollection *formats = storage->formatCollection();
    if (m_count == 0 && !holdsNoteMarkFormat(*formats))
        return;  // no notes before, and no run can be a mark now
    m_list.clear();
    QTextCursor cursor(&m_list);
    m_count = 0;
    enum class Mark : char { Unknown, No, Yes };
    std::vector<Mark> isMark(size_t(formats->numFormats()), Mark::Unknown);
    const QString text = storage->buffer();
    const auto isParagraphEnd = [](QChar c) {
        return c == QChar::ParagraphSeparator || c == QTextBeginningOfFrame || c == QTextEndOfFrame;
    };
    for (auto it = storage->begin(); it != storage->end(); ++it) {
        const int index = it.value()->format;
        if (index < 0 || size_t(index) >= isMark.size() || isParagraphEnd(text.at(it.value()->stringPosition)))
            continue;
        Mark &mark = isMark[size_t(index)];
        if (mark == Mark::Unknown)
            mark = rtfin::noteLabel(formats->charFormat(index)) ? Mark::Yes : Mark::No;
        if (mark == Mark::No)
            continue;
        const QTextCharFormat format = formats->charFormat(index);
        const std::optional<rtfin::NoteLabel> label = rtfin::noteLabel(format);
        if (m_count++ > 0)
            cursor.insertBlock();
        cursor.insertText(label->text + QLatin1Char(' ') + format.toolTip(), smallerText(format));
    }
    layOut();
}

void NoteList::layOut()
{
    m_list.setTextWidth(std::max(1, m_view->viewport()->width()));
    extendScrollRange();
    m_view->viewport()->update();
}

qreal NoteList::textHeight() const
{
    return m_view->document()->documentLayout()->documentSize().height();
}

// The text edit sets the range to the text's height; the list adds its own below.
void NoteList::extendScrollRange()
{
    if (m_extending || m_count == 0)
        return;
    QScrollBar *bar = m_view->verticalScrollBar();
    const int wanted = int(std::ceil(textHeight() + kGap + m_list.size().height())) - m_view->viewport()->height();
    if (wanted <= bar->maximum())
        return;
    m_extending = true;
    bar->setRange(bar->minimum(), wanted);
    bar->setPageStep(m_view->viewport()->height());
    m_extending = false;
}

void NoteList::paint(QPainter &painter)
{
    if (m_count == 0)
        return;
    if (!qFuzzyCompare(m_list.textWidth(), qreal(std::max(1, m_view->viewport()->width()))))
        layOut();
    const qreal top = textHeight() + kGap;
    painter.save();
    painter.setPen(m_view->palette().color(QPalette::Text));
    painter.drawLine(QPointF(0, top - kGap / 2), QPointF(kRuleWidth, top - kGap / 2));
    painter.translate(0, top);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = m_view->palette();
    m_list.documentLayout()->draw(&painter, context);
    painter.restore();
}

}  // namespace engine
