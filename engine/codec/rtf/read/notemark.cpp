#include "engine/codec/rtf/read/notemark.h"

#include "engine/codec/rtf/rtftokenizer.h"
#include "engine/codec/textprops.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <QUrl>

namespace engine::rtfin {

namespace {

QString romanNumber(int number)
{
    static const std::pair<int, const char *> kDigits[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"},
                                                           {100, "c"},  {90, "xc"},  {50, "l"},  {40, "xl"},
                                                           {10, "x"},   {9, "ix"},   {5, "v"},   {4, "iv"},
                                                           {1, "i"}};
    QString text;
    for (const auto &[value, digits] : kDigits) {
        for (; number >= value && text.size() < 32; number -= value)
            text += QLatin1String(digits);
    }
    return text;
}

QString markText(NoteKind kind, int number)
{
    switch (kind) {
    case NoteKind::Footnote: return QString::number(number);
    case NoteKind::Endnote: return romanNumber(number);
    case NoteKind::Comment: break;
    case NoteKind::Bookmark: return QString();
    case NoteKind::Shape: break;
    }
    return QStringLiteral("*");
}

QImage bookmarkImage()
{
    QImage image(QSize(3, 14), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(QRect(1, 0, 1, 14), QColor(128, 128, 128));
    return image;
}

QImage shapeImage(const QString &text)
{
    constexpr int kMaxShownCharacters = 40;
    QFont font;
    font.setPixelSize(11);
    const QFontMetrics metrics(font);
    const QString shown = metrics.elidedText(text.isEmpty() ? QStringLiteral("\u25a1") : text.left(kMaxShownCharacters),
                                             Qt::ElideRight, 240);
    const QSize size(metrics.horizontalAdvance(shown) + 8, metrics.height() + 4);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QColor(96, 96, 96));
    painter.drawRect(QRect(QPoint(0, 0), size - QSize(1, 1)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, shown);
    return image;
}

// The text of the first group that starts with `word`, or nothing.
QString groupText(QByteArrayView rtf, QByteArrayView word)
{
    const qsizetype at = rtf.indexOf(word);
    if (at <= 0 || rtf[at - 1] != '{')
        return {};
    RtfTokenizer tokens(rtf.sliced(at - 1));
    tokens.next();
    tokens.skipGroup();
    return noteText(rtf.sliced(at - 1, tokens.position()));
}

QImage markImage(const QString &text)
{
    QFont font;
    font.setPixelSize(10);
    const QFontMetrics metrics(font);
    const QSize size(std::max(4, metrics.horizontalAdvance(text) + 2), metrics.height());
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 160));
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, text);
    return image;
}

}  // namespace

QString noteText(QByteArrayView rtf)
{
    RtfTokenizer tokens(rtf);
    QString text;
    int depth = 0;
    int skipBelow = 0;  // the depth of an optional group being left out, 0 when none
    for (RtfToken token = tokens.next(); token.kind != RtfTokenKind::End && text.size() < kMaxNoteTextLength;
         token = tokens.next()) {
        switch (token.kind) {
        case RtfTokenKind::GroupOpen:
            ++depth;
            break;
        case RtfTokenKind::GroupClose:
            if (depth-- == skipBelow)
                skipBelow = 0;
            break;
        case RtfTokenKind::ControlSymbol:
            // The note's own group may be marked optional too.
            if (token.symbol == '*' && skipBelow == 0 && depth > 1)
                skipBelow = depth;
            else if (skipBelow == 0 && (token.symbol == '\\' || token.symbol == '{' || token.symbol == '}'))
                text += QLatin1Char(token.symbol);
            break;
        case RtfTokenKind::ControlWord:
            if (skipBelow != 0)
                break;
            if (token.data == QByteArrayView("par") || token.data == QByteArrayView("line")
                || token.data == QByteArrayView("tab"))
                text += QLatin1Char(' ');
            else if (token.data == QByteArrayView("u") && token.hasParameter)
                text += QChar(char16_t(token.parameter));
            break;
        case RtfTokenKind::Text:
            if (skipBelow == 0)
                text += QString::fromLatin1(token.data.data(), token.data.size());
            break;
        case RtfTokenKind::HexByte:
            if (skipBelow == 0)
                text += QChar(token.hexByte);
            break;
        default:
            break;
        }
    }
    text.removeIf([](QChar c) { return c.unicode() < 0x20; });
    return text.simplified().left(kMaxNoteTextLength);
}

QString shapeText(QByteArrayView rtf)
{
    const QString text = groupText(rtf, "\\shptxt");
    return text.isEmpty() ? groupText(rtf, "\\dptxbxtext") : text;
}

std::optional<NoteLabel> noteLabel(const QTextFormat &format)
{
    if (!format.isImageFormat() || !format.hasProperty(prop::KeptRtf))
        return std::nullopt;
    const QStringList parts = format.toImageFormat().name().split(u':');
    if (parts.size() != 3 || !parts[0].endsWith(QLatin1String("rtfnote")))
        return std::nullopt;
    const auto kind = NoteKind(parts[1].toInt());
    if (kind != NoteKind::Footnote && kind != NoteKind::Endnote)
        return std::nullopt;
    return NoteLabel{kind, markText(kind, parts[2].toInt())};
}

QTextImageFormat noteMark(QTextDocument *document, NoteKind kind, int number, QByteArrayView rtf,
                          const QString &namePrefix)
{
    const QString text = markText(kind, number);
    const QString tip = kind == NoteKind::Shape ? shapeText(rtf) : noteText(rtf);
    const QImage image = kind == NoteKind::Bookmark ? bookmarkImage()
                         : kind == NoteKind::Shape  ? shapeImage(tip)
                                                    : markImage(text);
    const QUrl name(namePrefix + QStringLiteral("rtfnote:%1:%2").arg(int(kind)).arg(number));
    document->addResource(QTextDocument::ImageResource, name, image);
    QTextImageFormat format;
    format.setName(name.toString());
    format.setWidth(image.width());
    format.setHeight(image.height());
    if (kind != NoteKind::Shape && kind != NoteKind::Bookmark)
        format.setVerticalAlignment(QTextCharFormat::AlignTop);
    format.setToolTip(tip);
    return format;
}

QTextImageFormat emptyFieldMark(QTextDocument *document, const QString &instruction, const QString &namePrefix)
{
    const QUrl name(namePrefix + QStringLiteral("rtffield:empty"));
    if (!document->resource(QTextDocument::ImageResource, name).isValid()) {
        QImage image(QSize(1, 1), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        document->addResource(QTextDocument::ImageResource, name, image);
    }
    QTextImageFormat format;
    format.setName(name.toString());
    format.setWidth(0);
    format.setHeight(1);
    format.setToolTip(instruction.trimmed());
    format.setProperty(prop::FieldResultEmpty, true);
    return format;
}

}  // namespace engine::rtfin
