#pragma once
#include "engine/codec/formatrecords.h"
#include "engine/codec/rtf/read/sourcetables.h"

#include <QHashFunctions>
#include <array>
#include <cstring>
#include <type_traits>

// The state an RTF group carries: which destination its text goes to and the character
// and paragraph properties in force. Opening a group copies the state, closing it
// restores the state of the enclosing group.
namespace engine::rtfin {

enum class Destination : quint8 {
    Body,               // document text
    Container,          // a group whose own text is ignored but whose children count
    FontTable,
    ColorTable,
    Picture,
    FieldInstruction,
    ListText,           // \listtext and \pntext: the visible number of a paragraph
    ParagraphNumbering, // \pn
    DefaultParagraph,   // \defpap: the properties \pard resets to
    ListTable,
    List,
    ListLevel,
    ListOverrideTable,
    ListOverride,
    LevelText,          // \leveltext of a list level
    OverrideLevel,      // \lfolevel of a list override
    PnTextBefore,       // \pntxtb
    PnTextAfter,        // \pntxta
};

struct CharState {
    int font = -1;         // font number, -1 when none
    int halfPoints = 24;   // \fs
    int color = -1;        // colour table index (\cf); -1 or an empty entry is automatic
    int highlight = 0;     // colour table index, 0 for none
    int language = 0;
    int baselineTwips = 0; // \up, \dn
    int link = -1;         // index of the hyperlink target, -1 when none
    int field = -1;        // index of the instruction of a field other than a link, -1 when none
    int object = -1;       // index of the \object group being read, -1 when none
    quint8 vertical = 0;   // 0 normal, 1 superscript, 2 subscript
    bool bold = false;
    bool italic = false;
    quint8 underline = 0;  // index into kUnderlineKinds, 0 for none
    bool strike = false;
    bool hidden = false;
    bool protect = false;
    quint8 unusedA = 0;         // fills what would be padding: states compare byte by byte
    // Fonts of other scripts (rtfreader_scripts.cpp)
    int eastAsianFont = -1;     // \dbch\af
    int complexFont = -1;       // \af
    int complexHalfPoints = 0;  // \afs, 0 when not given
    quint8 fontRegion = 0;      // \loch 0, \hich 1, \dbch 2
    bool rightToLeft = false;   // \rtlch
    bool scriptShown = false;   // the state is that of text in the script its fonts are for
    quint8 unusedB = 0;
    int unusedC = 0;  // makes the state a whole number of 64-bit words

    // Text alternates between a handful of states, compared often (Reader::recentFormat),
    // word by word: a library call would cost more than most comparisons.
    bool operator==(const CharState &other) const
    {
        const char *mine = reinterpret_cast<const char *>(this);
        const char *theirs = reinterpret_cast<const char *>(&other);
        for (size_t at = 0; at < sizeof(CharState); at += sizeof(quint64)) {
            quint64 a;
            quint64 b;
            std::memcpy(&a, mine + at, sizeof a);
            std::memcpy(&b, theirs + at, sizeof b);
            if (a != b)
                return false;
        }
        return true;
    }
    // The state spread over `bits` bits, word by word: the slot of a small table of
    // states, found without comparing each.
    quint32 slot(int bits) const
    {
        const char *bytes = reinterpret_cast<const char *>(this);
        quint64 spread = 0;
        for (size_t at = 0; at < sizeof(CharState); at += sizeof(quint64)) {
            quint64 word;
            std::memcpy(&word, bytes + at, sizeof word);
            spread = (spread ^ word) * 0x9E3779B97F4A7C15ull;
        }
        return quint32(spread >> (64 - bits));
    }
};
static_assert(sizeof(CharState) % sizeof(quint64) == 0, "CharState compares in whole words");
static_assert(std::has_unique_object_representations_v<CharState>, "a new member leaves padding: fill it");

inline size_t qHash(const CharState &s, size_t seed = 0)
{
    return qHashMulti(seed, s.font, s.halfPoints, s.color, s.highlight, s.language, s.baselineTwips,
                      s.link, s.field, s.object, int(s.underline),
                      (s.vertical << 6) | (s.bold << 5) | (s.italic << 4) | (int(s.underline != 0) << 3)
                          | (s.strike << 2) | (s.hidden << 1) | int(s.protect),
                      s.eastAsianFont, s.complexFont, s.complexHalfPoints,
                      (s.fontRegion << 2) | (s.rightToLeft << 1) | int(s.scriptShown));
}

struct ParaState {
    int leftIndent = 0;   // \li
    int rightIndent = 0;  // \ri
    int firstIndent = 0;  // \fi
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0;  // \sl
    int listOverride = -1; // \ls, -1 for none
    int listLevel = 0;    // \ilvl
    bool lineMultiple = false;  // \slmult1
    bool inTable = false;
    int tableLevel = 0;   // \itap: 1 for a table in the body, more for nested tables
    bool pageBreakBefore = false;
    bool rightToLeft = false;  // \rtlpar
    quint16 alignment = PFA_LEFT;
    int oldStyleList = -1;  // the \pn style (ListReading::pnStyles), -1 for none
    quint8 tabCount = 0;
    std::array<int, kMaxTabStops> tabs{};
    std::array<quint8, kMaxTabStops> tabCodes{};  // TabKind codes; kBarTab for a bar (rtfreader_tabs.cpp)

    bool operator==(const ParaState &) const = default;
};

inline size_t qHash(const ParaState &s, size_t seed = 0)
{
    seed = qHashMulti(seed, s.leftIndent, s.rightIndent, s.firstIndent, s.spaceBefore, s.spaceAfter,
                      s.lineSpacing, s.listOverride, s.listLevel, s.alignment, s.oldStyleList,
                      (s.rightToLeft << 3) | (s.lineMultiple << 2) | (s.inTable << 1) | int(s.pageBreakBefore));
    seed = qHashRange(s.tabCodes.begin(), s.tabCodes.begin() + s.tabCount, seed);
    return qHashRange(s.tabs.begin(), s.tabs.begin() + s.tabCount, seed);
}

struct GroupState {
    CharState chars;
    ParaState para;
    Destination destination = Destination::Body;
    quint8 unicodeSkip = 1;  // \uc
    int instructionField = -1;  // the field whose instruction the group's text extends
    bool inShapePicture = false;  // inside \shppict
    bool inNestedTableProps = false;  // inside \nesttableprops: row words describe a nested row
    // What closing this group ends.
    bool endsField = false;
    bool endsPicture = false;
    qsizetype openOffset = 0;  // of its '{'
    // The document format of text in `chars`, kept while neither the state (Reader::top()
    // clears it) nor the reader's tables (a new generation) changed.
    mutable int textFormat = -1;
    mutable quint32 textFormatGeneration = 0;
};

}  // namespace engine::rtfin
