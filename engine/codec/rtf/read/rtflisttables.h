#pragma once
#include "engine/codec/rtf/read/rtflistbuilder.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <array>
#include <optional>
#include <vector>

// The lists an RTF file declares (\listtable, \listoverridetable) and those its
// paragraphs describe in the older \pn form, and what the reader keeps while reading
// them.
namespace engine::rtfin {

class ListTables {
public:
    using Levels = std::array<ListLevelStyle, kListLevels>;
    using StartOverrides = std::array<int, kListLevels>;  // -1 where the list's own start holds

    void addList(int listId, const Levels &levels);  // ignored past the list limit
    void addOverride(int overrideNumber, int listId, const StartOverrides &starts);
    // The item a paragraph with \lsN\ilvlM is. A number no override declares is a
    // decimal list of its own.
    ListItem itemOf(int overrideNumber, int level) const;

private:
    struct Override {
        int listId = 0;
        StartOverrides starts{};
        bool restarts = false;
    };
    QHash<int, Levels> m_lists;
    QHash<int, Override> m_overrides;
};

// Text of a list definition as read. Bytes (\'hh and plain text) are kept as the
// characters U+0000 to U+00FF until the font that decodes them is known; characters given
// as Unicode (\uN) are kept apart, so that they are never decoded as bytes again.
class ListDefinitionText {
public:
    void append(QStringView characters, bool asBytes);
    void clear();
    bool isEmpty() const { return m_text.isEmpty(); }
    qsizetype size() const { return m_text.size(); }
    QChar at(qsizetype index) const { return m_text.at(index); }
    bool isByte(qsizetype index) const { return m_bytes.at(index) != 0; }
    const QString &text() const { return m_text; }  // bytes undecoded
    ListDefinitionText mid(qsizetype position, qsizetype length) const;
    void truncate(qsizetype length);
    bool operator==(const ListDefinitionText &) const = default;

private:
    QString m_text;
    QByteArray m_bytes;  // per character of m_text: 1 where it arrived as a byte
};

// What \list, \listlevel, \listoverride and \pn groups have given so far.
struct ListReading {
    // \list and its levels
    int listId = 0;
    int levelIndex = 0;
    ListTables::Levels levels;
    int levelFormat = 0;   // \levelnfc
    int levelStart = 1;
    int levelFont = -1;
    ListDefinitionText levelText;  // \leveltext as read: its length, text and level placeholders
    // \listoverride
    int overrideListId = 0;
    int overrideNumber = 0;
    int overrideLevel = 0;
    ListTables::StartOverrides overrideStarts{};
    // \pn
    ListNumberKind pnKind = ListNumberKind::Decimal;
    int pnLevel = 0;
    int pnStart = 1;
    int pnFont = -1;
    bool pnContinues = false;  // \pnlvlcont: no number of its own
    ListDefinitionText pnBefore, pnAfter;
    std::vector<ListLevelStyle> pnStyles;  // the \pn styles met, by their index in ParaState
    std::vector<int> pnLevels;
    QHash<QString, int> pnIndexes;  // by kind, start, level, font and text
    // What the last \pn style interned was made of, and its index: the items of an old
    // style list mostly repeat their \pn group word for word.
    struct PnInputs {
        ListNumberKind kind;
        int level, start, font, codePage;
        ListDefinitionText before, after;
        bool operator==(const PnInputs &) const = default;
    };
    std::optional<PnInputs> lastPn;
    int lastPnIndex = -1;
    int pnSource = 0;         // consecutive \pn paragraphs number together
    bool pnInterrupted = false;

    ListTables tables;
};

// \levelnfc to the kinds shown.
ListNumberKind listKindFromRtf(int levelFormat);

}  // namespace engine::rtfin
