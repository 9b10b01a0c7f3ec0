#include "engine/codec/listformat.h"

#include <QTextBlock>
#include <QTextList>
#include <array>

namespace engine {

namespace {

// How far back a paragraph looks for the item of a level above it; past that, the level
// above counts as at its start.
constexpr int kMaxParentWalk = 4096;

QString letters(int number, char first)
{
    // a..z, then aa..zz, aaa..: the letter repeats once per round of the alphabet.
    const int rounds = (number - 1) / 26 + 1;
    return QString(std::min(rounds, 64), QChar(first + (number - 1) % 26));
}

QString roman(int number, bool upper)
{
    static const std::pair<int, const char *> parts[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"},
                                                         {100, "c"},  {90, "xc"},  {50, "l"},  {40, "xl"},
                                                         {10, "x"},   {9, "ix"},   {5, "v"},   {4, "iv"},
                                                         {1, "i"}};
    QString text;
    for (const auto &[value, digits] : parts) {
        while (number >= value) {
            text += QLatin1StringView(digits);
            number -= value;
        }
    }
    return upper ? text.toUpper() : text;
}

// The item's place in its list. A list keeps its items in document order, so a binary
// search finds it, where QTextList::itemNumber() looks through every item before it.
int itemIndex(const QTextList *list, const QTextBlock &block)
{
    const int position = block.position();
    int low = 0;
    int high = list->count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (list->item(middle).position() < position)
            low = middle + 1;
        else
            high = middle;
    }
    return low < list->count() && list->item(low) == block ? low : -1;
}

// The number an item of `list` shows.
int itemNumber(const QTextList *list, const QTextBlock &block)
{
    return levelStyleOf(list->format()).start + std::max(0, itemIndex(list, block));
}

// The number, in its level's kind, of the item of `level` (in `group`) that `block`
// comes under.
QString parentNumber(const QTextBlock &block, int group, int level)
{
    int walked = 0;
    for (QTextBlock at = block.previous(); at.isValid() && walked < kMaxParentWalk; at = at.previous(), ++walked) {
        const QTextList *list = at.textList();
        if (!isEngineList(list) || listGroupOf(list) != group)
            continue;
        const int atLevel = listLevelOf(list);
        if (atLevel == level) {
            // A bullet level counts its items all the same, in decimals.
            const ListNumberKind kind = levelStyleOf(list->format()).kind;
            const bool numbered = kind != ListNumberKind::Bullet && kind != ListNumberKind::None;
            return formatListNumber(itemNumber(list, at), numbered ? kind : ListNumberKind::Decimal);
        }
        if (atLevel < level)
            break;
    }
    return QStringLiteral("1");
}

}  // namespace

ListLevelStyle defaultLevelStyle(ListNumberKind kind, int level)
{
    ListLevelStyle style;
    style.kind = kind;
    if (kind == ListNumberKind::Bullet)
        style.text = QString(QChar(0x2022));
    else if (kind != ListNumberKind::None)
        style.text = QString(QChar(level)) + u'.';
    return style;
}

QTextListFormat listFormat(const ListLevelStyle &style, int level, int group)
{
    QTextListFormat format;
    format.setStyle(QTextListFormat::ListStyleUndefined);
    format.setIndent(0);
    format.setProperty(listprop::Kind, int(style.kind));
    format.setProperty(listprop::Level, std::clamp(level, 0, kListLevels - 1));
    format.setProperty(listprop::Start, std::clamp(style.start, 0, kMaxListStart));
    format.setProperty(listprop::Text, style.text);
    if (!style.font.isEmpty())
        format.setProperty(listprop::Font, style.font);
    format.setProperty(listprop::Group, group);
    return format;
}

ListLevelStyle levelStyleOf(const QTextListFormat &format)
{
    ListLevelStyle style;
    if (!format.hasProperty(listprop::Kind)) {
        // A list of Qt's own styles: bullets for its shapes, numbers for the rest.
        const QTextListFormat::Style qtStyle = format.style();
        const bool shape = qtStyle == QTextListFormat::ListDisc || qtStyle == QTextListFormat::ListCircle
                           || qtStyle == QTextListFormat::ListSquare;
        return defaultLevelStyle(shape ? ListNumberKind::Bullet : ListNumberKind::Decimal, 0);
    }
    style.kind = ListNumberKind(std::clamp(format.intProperty(listprop::Kind), 0, int(ListNumberKind::None)));
    style.start = format.hasProperty(listprop::Start) ? format.intProperty(listprop::Start) : 1;
    style.text = format.stringProperty(listprop::Text);
    style.font = format.stringProperty(listprop::Font);
    return style;
}

int listLevelOf(const QTextList *list)
{
    return list ? std::clamp(list->format().intProperty(listprop::Level), 0, kListLevels - 1) : 0;
}

int listGroupOf(const QTextList *list)
{
    return list && list->format().hasProperty(listprop::Group) ? list->format().intProperty(listprop::Group) : -1;
}

bool isEngineList(const QTextList *list)
{
    return list && list->format().hasProperty(listprop::Kind);
}

QString formatListNumber(int number, ListNumberKind kind)
{
    if (number < 1 && kind != ListNumberKind::None && kind != ListNumberKind::Bullet)
        return QString::number(number);
    switch (kind) {
    case ListNumberKind::Decimal:
        return QString::number(number);
    case ListNumberKind::LowerLetter:
        return letters(number, 'a');
    case ListNumberKind::UpperLetter:
        return letters(number, 'A');
    case ListNumberKind::LowerRoman:
        return number < 4000 ? roman(number, false) : QString::number(number);
    case ListNumberKind::UpperRoman:
        return number < 4000 ? roman(number, true) : QString::number(number);
    case ListNumberKind::Bullet:
    case ListNumberKind::None:
        break;
    }
    return {};
}

QString listMarkerText(const ListLevelStyle &style, int level, const QString *levelNumbers)
{
    if (style.kind == ListNumberKind::Bullet || style.kind == ListNumberKind::None)
        return style.text;
    QString marker;
    for (const QChar c : style.text) {
        const int placeholder = c.unicode();
        if (placeholder >= kListLevels) {
            marker += c;
            continue;
        }
        if (placeholder <= level)
            marker += levelNumbers[placeholder];
    }
    return marker;
}

QString listMarkerOf(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    if (!isEngineList(list))
        return {};
    const ListLevelStyle style = levelStyleOf(list->format());
    if (style.kind == ListNumberKind::Bullet || style.kind == ListNumberKind::None)
        return style.text;
    const int level = listLevelOf(list);
    const int group = listGroupOf(list);
    std::array<QString, kListLevels> numbers;
    numbers[size_t(level)] = formatListNumber(itemNumber(list, block), style.kind);
    for (const QChar c : style.text) {
        const int parent = c.unicode();
        if (parent < level && numbers[size_t(parent)].isEmpty())
            numbers[size_t(parent)] = group < 0 ? QStringLiteral("1") : parentNumber(block, group, parent);
    }
    return listMarkerText(style, level, numbers.data());
}

bool isSymbolFontName(const QString &font)
{
    return font.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0
           || font.compare(QLatin1String("OpenSymbol"), Qt::CaseInsensitive) == 0
           || font.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive)
           || font.compare(QLatin1String("Webdings"), Qt::CaseInsensitive) == 0;
}

QString bulletFromSymbolFont(const QString &text, const QString &font)
{
    const bool symbol = font.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0;
    const bool openSymbol = font.compare(QLatin1String("OpenSymbol"), Qt::CaseInsensitive) == 0;
    if (!isSymbolFontName(font))
        return text;
    QString out;
    for (const QChar c : text) {
        if (openSymbol) {
            // Its own characters are Unicode; its private ones are the shapes of lists.
            const bool own = c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF;
            out += !own ? c : c.unicode() == 0xE009 ? QChar(0x25E6) : c.unicode() == 0xE00A ? QChar(0x25AA) : QChar(0x2022);
            continue;
        }
        // The fonts' characters are read as bytes (or as U+F0xx, their Unicode places).
        const int byte = c.unicode() >= 0xF000 && c.unicode() <= 0xF0FF ? c.unicode() - 0xF000 : c.unicode();
        char16_t mapped = 0x2022;  // what any other symbol shows as
        if (symbol) {
            switch (byte) {
            case 0xB7: mapped = 0x2022; break;
            case 0xA8: mapped = 0x2663; break;
            case 0xA9: mapped = 0x2666; break;
            case 0xAA: mapped = 0x2665; break;
            case 0xAB: mapped = 0x2660; break;
            case 0x2D: mapped = 0x2212; break;
            case 0xD8: mapped = 0x00AC; break;
            default: break;
            }
        } else {
            switch (byte) {
            case 0xA7: mapped = 0x25AA; break;  // small square
            case 0x6E: mapped = 0x25A0; break;  // square
            case 0x6C: mapped = 0x25CF; break;  // circle
            case 0x71: mapped = 0x2751; break;  // shadowed box
            case 0x76: mapped = 0x2756; break;  // diamond of four
            case 0xD8: mapped = 0x27A2; break;  // arrowhead
            case 0xFC: mapped = 0x2714; break;  // check mark
            case 0xA8: mapped = 0x25FB; break;  // white square
            default: break;
            }
        }
        out += QChar(mapped);
    }
    return out;
}

}  // namespace engine
