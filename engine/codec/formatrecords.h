#pragma once
#include <QString>
#include <QtGlobal>
#include <array>

// Mask-based format records exchanged with the engine. Lengths are twips (1440 to the
// inch); colours are 0x00BBGGRR. Only the attributes whose mask bit is set are read
// from a record on write; on read, the mask tells which attributes are the same over
// the whole selection (an attribute that differs reads as absent: bit clear, value 0).
namespace engine {

// Character format mask bits.
enum : quint32 {
    CFM_BOLD = 0x00000001,
    CFM_ITALIC = 0x00000002,
    CFM_UNDERLINE = 0x00000004,
    CFM_STRIKEOUT = 0x00000008,
    CFM_PROTECTED = 0x00000010,
    CFM_LINK = 0x00000020,
    CFM_CHARSET = 0x08000000,
    CFM_OFFSET = 0x10000000,
    CFM_FACE = 0x20000000,
    CFM_COLOR = 0x40000000,
    CFM_SIZE = 0x80000000,
    CFM_EFFECTS = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_LINK
                  | CFM_COLOR,
    CFM_ALL = CFM_EFFECTS | CFM_SIZE | CFM_FACE | CFM_OFFSET | CFM_CHARSET,
};

// Character effect bits.
enum : quint32 {
    CFE_BOLD = 0x00000001,
    CFE_ITALIC = 0x00000002,
    CFE_UNDERLINE = 0x00000004,
    CFE_STRIKEOUT = 0x00000008,
    CFE_PROTECTED = 0x00000010,
    CFE_LINK = 0x00000020,
    CFE_AUTOCOLOR = 0x40000000,
};

// Pitch in the low two bits of pitchAndFamily.
enum : quint8 { DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2 };

constexpr int kMaxFaceNameLength = 32;

struct CharFormat {
    quint32 mask = 0;
    quint32 effects = 0;
    qint32 height = 0;      // twips
    qint32 offset = 0;      // baseline offset, twips, positive is superscript
    quint32 textColor = 0;  // 0x00BBGGRR
    quint8 charset = 0;
    quint8 pitchAndFamily = 0;
    QString faceName;       // at most kMaxFaceNameLength characters
};

// Paragraph format mask bits.
enum : quint32 {
    PFM_STARTINDENT = 0x00000001,
    PFM_RIGHTINDENT = 0x00000002,
    PFM_OFFSET = 0x00000004,
    PFM_ALIGNMENT = 0x00000008,
    PFM_TABSTOPS = 0x00000010,
    PFM_NUMBERING = 0x00000020,
    PFM_SPACEBEFORE = 0x00000040,
    PFM_SPACEAFTER = 0x00000080,
    PFM_LINESPACING = 0x00000100,
    PFM_OFFSETINDENT = 0x80000000,
    PFM_ALL = PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT | PFM_TABSTOPS
              | PFM_NUMBERING | PFM_SPACEBEFORE | PFM_SPACEAFTER | PFM_LINESPACING,
};

// Paragraph alignment values.
enum : quint16 { PFA_LEFT = 1, PFA_RIGHT = 2, PFA_CENTER = 3, PFA_JUSTIFY = 4 };

// Numbering values: none or bullet.
enum : quint16 { PFN_NONE = 0, PFN_BULLET = 1 };

constexpr int kMaxTabStops = 32;

// Paragraph indents follow the platform model: startIndent is where the first line
// starts, offset is where the other lines start relative to the first line, and
// rightIndent is measured from the right edge. A bullet paragraph draws its bullet at
// the start indent and its text at start + offset.
struct ParaFormat {
    quint32 mask = 0;
    quint16 numbering = 0;
    qint32 startIndent = 0;
    qint32 rightIndent = 0;
    qint32 offset = 0;
    quint16 alignment = 0;
    qint16 tabCount = 0;
    std::array<qint32, kMaxTabStops> tabs{};  // positions in twips, ascending
    qint32 spaceBefore = 0;
    qint32 spaceAfter = 0;
    qint32 lineSpacing = 0;
    quint8 lineSpacingRule = 0;  // 0 single, 1 one and a half, 2 double, 3 at least, 4 exactly, 5 multiple (lineSpacing / 20 lines)
};

// A character range; max -1 means the end of the text.
struct CharRange {
    int min = 0;
    int max = 0;
    bool operator==(const CharRange &) const = default;
};

}  // namespace engine
