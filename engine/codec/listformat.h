#pragma once
#include <QString>
#include <QTextListFormat>

class QTextBlock;
class QTextList;

// Numbered and bulleted lists as the document holds them. Each QTextList is one level of
// one list: its items are numbered by their place in it, from the level's start value,
// so inserting or deleting an item renumbers the rest. Lists of one group number
// together: a level's number text may show the numbers of the levels above it ("2.1."),
// and a deeper level starts again under each new item of a level above, which is why
// such a level is a new QTextList under each of them.
//
// Qt is told nothing of the style (ListStyleUndefined), so it draws no marker of its own:
// drawListMarkers() draws the number or bullet in the paragraph's hanging space, at its
// first line's start indent, and the text follows at start + offset, so the gap between
// number and text is the list's own indent.
namespace engine {

namespace listprop {
enum : int {
    // QTextListFormat
    Kind = QTextFormat::UserProperty + 0x500,  // int: ListNumberKind
    Level,                                     // int: 0 to 8
    Start,                                     // int: number of the first item
    Text,       // QString: a bullet's characters, or the number text with U+0000..U+0008
                // standing for the numbers of levels 1 to 9
    Font,       // QString: face of the marker, empty for the paragraph's own
    Group,      // int: lists numbering together; negative for a list on its own
    // QTextBlockFormat
    Marker = QTextFormat::UserProperty + 0x510,  // bool: the paragraph shows a list marker
};
}  // namespace listprop

enum class ListNumberKind : int { Bullet, Decimal, LowerLetter, UpperLetter, LowerRoman, UpperRoman, None };

constexpr int kListLevels = 9;
constexpr int kMaxListStart = 32767;

struct ListLevelStyle {
    ListNumberKind kind = ListNumberKind::Bullet;
    int start = 1;
    QString text;  // as listprop::Text
    QString font;
    bool operator==(const ListLevelStyle &) const = default;
};

// The style of a level when a file gives only its kind: "•", or its own number and ".".
ListLevelStyle defaultLevelStyle(ListNumberKind kind, int level);
QTextListFormat listFormat(const ListLevelStyle &style, int level, int group);
ListLevelStyle levelStyleOf(const QTextListFormat &format);
int listLevelOf(const QTextList *list);
int listGroupOf(const QTextList *list);
bool isEngineList(const QTextList *list);  // made by listFormat()

// "7", "g", "G", "vii", "VII"; letters go on as "aa", "bb"; roman numbers past 3999 and
// numbers below 1 are written in decimal.
QString formatListNumber(int number, ListNumberKind kind);
// The marker from the level's number text and the numbers (each in its level's kind) of
// levels 1 to `level` + 1.
QString listMarkerText(const ListLevelStyle &style, int level, const QString *levelNumbers);

// The marker of a paragraph, counted from the document as it stands now.
QString listMarkerOf(const QTextBlock &block);

// Characters of the symbol fonts that bullets are written in, as Unicode: Symbol's 0xB7
// (or U+F0B7) is U+2022. Text in other fonts is returned as it is.
QString bulletFromSymbolFont(const QString &text, const QString &font);
bool isSymbolFontName(const QString &font);

}  // namespace engine
