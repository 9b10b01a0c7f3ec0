#include "engine/codec/plaintext.h"

#include <QStringDecoder>
#include <algorithm>
#include <QTextBlock>
#include <QTextCodec>
#include <QTextCursor>
#include <QTextDocument>

namespace engine {
namespace {

// Characters QTextDocument gives a structural meaning (frame boundaries) or that
// cannot stand in a text: they would change the document's shape rather than its text.
constexpr char16_t kFrameStart = 0xFDD0;
constexpr char16_t kFrameEnd = 0xFDD1;

QString decodeWithBom(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    // Stateless: an odd byte at the end becomes a replacement character instead of
    // vanishing as the start of a character that never comes.
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
        return decoder(QByteArrayView(bytes).sliced(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringConverter::Utf16BE, QStringConverter::Flag::Stateless);
        return decoder(QByteArrayView(bytes).sliced(2));
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QTextCodec *cp1252 = QTextCodec::codecForName("Windows-1252");
    return cp1252->toUnicode(bytes);
}

// One pass: CR LF, lone CR and LF all become LF; NULs vanish; frame markers become the
// replacement character.
QString normaliseLines(const QString &text)
{
    QString out;
    out.reserve(text.size());
    const QChar *p = text.constData();
    const QChar *end = p + text.size();
    for (; p != end; ++p) {
        const char16_t c = p->unicode();
        if (c == u'\r') {
            out.append(u'\n');
            if (p + 1 != end && p[1] == u'\n')
                ++p;
        } else if (c == 0) {
            continue;
        } else if (c == kFrameStart || c == kFrameEnd) {
            out.append(QChar::ReplacementCharacter);
        } else {
            out.append(*p);
        }
    }
    return out;
}

}  // namespace

QString decodePlainText(const QByteArray &bytes)
{
    return normaliseLines(decodeWithBom(bytes));
}

void readPlainText(const QByteArray &bytes, QTextDocument *document)
{
    document->setPlainText(decodePlainText(bytes));
}

QByteArray writePlainText(const QTextDocument *document)
{
    QString text;
    text.reserve(document->characterCount() + document->blockCount());
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block != document->begin())
            text.append(u"\r\n");
        const QString line = block.text();
        for (QChar c : line) {
            if (c == QChar::LineSeparator)
                text.append(u"\r\n");  // a text file has no soft line break
            else if (c != QChar::ObjectReplacementCharacter)
                text.append(c);
        }
    }
    return text.toUtf8();
}

// Paragraph by paragraph: every mark between two paragraphs (a paragraph's end or a
// table's edge) becomes one line end, as it would in the selected text.
QString plainTextOfRange(const QTextDocument *document, int start, int end)
{
    const int documentEnd = document->characterCount() - 1;
    start = std::clamp(start, 0, documentEnd);
    end = std::clamp(end, start, documentEnd);
    QString text;
    text.reserve(end - start);
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() <= end;
         block = block.next()) {
        if (block.position() > start)
            text.append(u'\n');
        const int from = std::max(start - block.position(), 0);
        const int to = std::min(end - block.position(), block.length() - 1);
        if (from < to)
            text.append(QStringView(block.text()).mid(from, to - from));
    }
    for (QChar &c : text) {
        if (c == QChar::LineSeparator)
            c = u'\n';
        else if (c == QChar::Nbsp)
            c = u' ';
    }
    return text;
}

}  // namespace engine
