#include "engine/codec/pagedecorations.h"

#include "engine/codec/documentextras.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/rtftokenizer.h"
#include "engine/codec/textprops.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

Q_GUI_EXPORT int qt_defaultDpiX();
Q_GUI_EXPORT int qt_defaultDpiY();

namespace engine {

namespace {

constexpr double kTwipsPerInch = 1440.0;

// The kept group that starts with the first of `words` found, without its destination
// word, so that it reads as body text; empty when there is none.
QByteArray keptGroupBody(const QByteArray &groups, std::initializer_list<QByteArrayView> words)
{
    for (QByteArrayView word : words) {
        RtfTokenizer tokens(groups);
        for (RtfToken token = tokens.next(); token.kind != RtfTokenKind::End; token = tokens.next()) {
            if (token.kind != RtfTokenKind::ControlWord || token.data != word)
                continue;
            const qsizetype bodyStart = tokens.position();
            tokens.skipGroup();
            return '{' + groups.mid(bodyStart, tokens.position() - bodyStart);
        }
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

std::unique_ptr<QTextDocument> decoration(const DocumentExtras &extras, std::initializer_list<QByteArrayView> words)
{
    const QByteArray body = keptGroupBody(extras.headerGroups, words);
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

// The document with its PAGE and NUMPAGES field results replaced for the page.
std::unique_ptr<QTextDocument> forPage(const QTextDocument &source, int page, int pages)
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
        cursor.insertText(result->number, result->format);
    }
    return copy;
}

// Lays the document out at the screen's resolution to the width, and draws it scaled
// to the device with its top (or its bottom, for a footer) at `y` twips.
void drawAt(QPainter &painter, const QPaintDevice &device, QTextDocument &document, const QRect &text, int y,
            bool bottom)
{
    const qreal scaleX = qreal(device.logicalDpiX()) / qt_defaultDpiX();
    const qreal scaleY = qreal(device.logicalDpiY()) / qt_defaultDpiY();
    document.setTextWidth(text.width() * qt_defaultDpiX() / kTwipsPerInch);
    const qreal height = document.size().height();
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

}  // namespace

PageDecorations::PageDecorations(const DocumentExtras &extras)
    : m_header(decoration(extras, {"header", "headerr"})), m_footer(decoration(extras, {"footer", "footerr"}))
{
}

PageDecorations::~PageDecorations() = default;

QString PageDecorations::headerText() const
{
    return m_header ? forPage(*m_header, 1, 1)->toPlainText() : QString();
}

QString PageDecorations::footerText() const
{
    return m_footer ? forPage(*m_footer, 1, 1)->toPlainText() : QString();
}

void PageDecorations::draw(QPainter &painter, const QPaintDevice &device, const QRect &text, const QRect &paper,
                           int page, int pages) const
{
    if (m_header)
        drawAt(painter, device, *forPage(*m_header, page, pages), text, paper.top() + kHeaderDistance, false);
    if (m_footer)
        drawAt(painter, device, *forPage(*m_footer, page, pages), text, paper.bottom() - kFooterDistance, true);
}

}  // namespace engine
