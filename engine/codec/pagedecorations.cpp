#include "engine/codec/pagedecorations.h"

#include "engine/codec/documentextras.h"
#include "engine/codec/objecttextformat.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/rtftokenizer.h"
#include "engine/codec/textprops.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

Q_GUI_EXPORT int qt_defaultDpiX();
Q_GUI_EXPORT int qt_defaultDpiY();

namespace engine {

namespace {

constexpr double kTwipsPerInch = 1440.0;

// The kept group that starts with `word`, without the word, so that it reads as body
// text; empty when there is none.
QByteArray keptGroupBody(const QByteArray &groups, QByteArrayView word)
{
    RtfTokenizer tokens(groups);
    for (RtfToken token = tokens.next(); token.kind != RtfTokenKind::End; token = tokens.next()) {
        if (token.kind != RtfTokenKind::ControlWord || token.data != word)
            continue;
        const qsizetype bodyStart = tokens.position();
        tokens.skipGroup();
        return '{' + groups.mid(bodyStart, tokens.position() - bodyStart);
    }
    return {};
}

// The source file's font and colour tables, which the kept group's numbers refer to.
QByteArray sourceTables(const DocumentExtras &extras)
{
    QByteArray tables = "{\\fonttbl";
    for (const KeptFont &font : extras.sourceFonts) {
        tables += "{\\f" + QByteArray::number(font.number) + "\\fcharset" + QByteArray::number(font.charset) + ' ';
        for (QChar c : font.face)
            tables += c.unicode() < 0x80 && c != u'\\' && c != u'{' && c != u'}' && c != u';'
                          ? QByteArray(1, char(c.unicode()))
                          : "\\u" + QByteArray::number(qint16(c.unicode())) + '?';
        tables += ";}";
    }
    tables += "}{\\colortbl";
    for (const QColor &color : extras.sourceColors) {
        if (color.isValid())
            tables += "\\red" + QByteArray::number(color.red()) + "\\green" + QByteArray::number(color.green())
                      + "\\blue" + QByteArray::number(color.blue());
        tables += ';';
    }
    return tables + '}';
}

std::unique_ptr<QTextDocument> decoration(const DocumentExtras &extras, QByteArrayView word)
{
    const QByteArray body = keptGroupBody(extras.headerGroups, word);
    if (body.isEmpty())
        return nullptr;
    auto document = std::make_unique<QTextDocument>();
    document->setDocumentMargin(0);
    if (!readRtf("{\\rtf1\\ansi" + sourceTables(extras) + body + '}', document.get()).ok()
        || document->isEmpty())
        return nullptr;
    return document;
}

bool isPageField(const QString &instruction, QLatin1StringView name)
{
    const QString word = instruction.trimmed().section(u' ', 0, 0);
    return word.compare(name, Qt::CaseInsensitive) == 0;
}

}  // namespace

std::unique_ptr<QTextDocument> withPageNumbers(const QTextDocument &source, int page, int pages)
{
    std::unique_ptr<QTextDocument> copy(source.clone());
    copy->setDocumentMargin(0);
    struct Result {
        int start;
        int end;
        QString number;
        QTextCharFormat format;
    };
    QList<Result> results;
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const QString instruction = format.stringProperty(prop::FieldInstruction);
            const int end = fragment.position() + fragment.length();
            // A result in several formats is one number, in the format of its start.
            if (!results.isEmpty() && results.last().end == fragment.position()
                && results.last().format.intProperty(prop::FieldNumber) == format.intProperty(prop::FieldNumber)
                && !instruction.isEmpty()) {
                results.last().end = end;
                continue;
            }
            if (isPageField(instruction, QLatin1StringView("PAGE")))
                results.append({fragment.position(), end, QString::number(page), format});
            else if (isPageField(instruction, QLatin1StringView("NUMPAGES")))
                results.append({fragment.position(), end, QString::number(pages), format});
        }
    }
    // From the end, so that the positions before stay valid.
    for (auto result = results.crbegin(); result != results.crend(); ++result) {
        QTextCursor cursor(copy.get());
        cursor.setPosition(result->start);
        cursor.setPosition(result->end, QTextCursor::KeepAnchor);
        // A field without a result stands as a mark; its number is text in the mark's
        // character format.
        cursor.insertText(result->number, textFormatOf(result->format));
    }
    return copy;
}

namespace {

// The document laid out at the screen's resolution to the width, as drawAt() lays it out.
qreal heightAt(QTextDocument &document, int widthTwips)
{
    document.setTextWidth(widthTwips * qt_defaultDpiX() / kTwipsPerInch);
    return document.size().height();
}

int heightTwips(QTextDocument *document, int widthTwips)
{
    return document ? int(std::ceil(heightAt(*document, widthTwips) * kTwipsPerInch / qt_defaultDpiY())) : 0;
}

// Lays the document out at the screen's resolution to the width, and draws it scaled
// to the device with its top (or its bottom, for a footer) at `y` twips.
void drawAt(QPainter &painter, const QPaintDevice &device, QTextDocument &document, const QRect &text, int y,
            bool bottom)
{
    const qreal scaleX = qreal(device.logicalDpiX()) / qt_defaultDpiX();
    const qreal scaleY = qreal(device.logicalDpiY()) / qt_defaultDpiY();
    const qreal height = heightAt(document, text.width());
    qreal top = y * device.logicalDpiY() / kTwipsPerInch;
    if (bottom)
        top -= height * scaleY;
    painter.save();
    painter.translate(text.left() * device.logicalDpiX() / kTwipsPerInch, top);
    painter.scale(scaleX, scaleY);
    QAbstractTextDocumentLayout::PaintContext context;
    context.cursorPosition = -1;
    context.palette.setColor(QPalette::Text, Qt::black);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
}

int distanceOr(int twips, int fallback)
{
    return twips == PageSetup::kNotGiven ? fallback : twips;
}

}  // namespace

PageDecorations::PageDecorations(const DocumentExtras &extras)
    : m_headerDistance(distanceOr(extras.page.headerY, kDefaultHeaderDistance)),
      m_footerDistance(distanceOr(extras.page.footerY, kDefaultFooterDistance)),
      m_titlePage(extras.page.titlePage),
      m_facingPages(extras.page.facingPages)
{
    m_headers.all = decoration(extras, "header");
    m_headers.left = decoration(extras, "headerl");
    m_headers.right = decoration(extras, "headerr");
    m_headers.first = decoration(extras, "headerf");
    m_footers.all = decoration(extras, "footer");
    m_footers.left = decoration(extras, "footerl");
    m_footers.right = decoration(extras, "footerr");
    m_footers.first = decoration(extras, "footerf");
}

PageDecorations::~PageDecorations() = default;

bool PageDecorations::hasHeader() const
{
    return m_headers.any();
}

bool PageDecorations::hasFooter() const
{
    return m_footers.any();
}

// The plain and the right-page kinds are one to other readers: the one for every page,
// or for odd pages when even pages have their own.
QTextDocument *PageDecorations::onPage(const Kinds &kinds, int page) const
{
    if (m_titlePage && page == 1)
        return kinds.first.get();
    if (m_facingPages && page % 2 == 0)
        return kinds.left.get();
    return kinds.all ? kinds.all.get() : kinds.right.get();
}

QString PageDecorations::headerText(int page) const
{
    const QTextDocument *header = onPage(m_headers, page);
    return header ? withPageNumbers(*header, page, page)->toPlainText() : QString();
}

QString PageDecorations::footerText(int page) const
{
    const QTextDocument *footer = onPage(m_footers, page);
    return footer ? withPageNumbers(*footer, page, page)->toPlainText() : QString();
}

QRect PageDecorations::textRect(const QRect &text, const QRect &paper, int page) const
{
    const int headerEnd = paper.top() + m_headerDistance + heightTwips(onPage(m_headers, page), text.width());
    const int footerStart =
        paper.top() + paper.height() - m_footerDistance - heightTwips(onPage(m_footers, page), text.width());
    const int textEnd = text.top() + text.height();
    const int least = std::min(text.height(), kLeastTextHeight);
    int top = text.top();
    if (onPage(m_headers, page))
        top = std::min(std::max(top, headerEnd), textEnd - least);
    int end = textEnd;
    if (onPage(m_footers, page))
        end = std::max(std::min(end, footerStart), top + least);
    return QRect(text.left(), top, text.width(), end - top);
}

void PageDecorations::draw(QPainter &painter, const QPaintDevice &device, const QRect &text, const QRect &paper,
                           int page, int pages) const
{
    if (const QTextDocument *header = onPage(m_headers, page))
        drawAt(painter, device, *withPageNumbers(*header, page, pages), text, paper.top() + m_headerDistance, false);
    if (const QTextDocument *footer = onPage(m_footers, page))
        drawAt(painter, device, *withPageNumbers(*footer, page, pages), text,
               paper.top() + paper.height() - m_footerDistance, true);
}

}  // namespace engine
