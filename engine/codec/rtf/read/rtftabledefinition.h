#pragma once
#include "engine/codec/rtf/rtfcontrolwords.h"
#include "engine/codec/rtf/tablelengths.h"

#include <array>
#include <vector>

// The properties of one RTF table row as its row definition gives them: \trowd starts a
// definition, the row words set the row's own properties, and the cell words set those of
// the next cell, which its \cellx ends. Lengths are twips, colours colour-table indexes.
namespace engine::rtfin {

enum class BorderKind : quint8 { None, Single, Thick, Double, Dotted, Dashed, Hairline, Inset, Outset };

struct TableBorder {
    BorderKind kind = BorderKind::None;
    int widthTwips = 0;  // \brdrw; 0 means the reader's default width for the kind
    int color = -1;      // \brdrcf, -1 automatic
    bool operator==(const TableBorder &) const = default;
};

enum BorderSide : int { kTop, kLeft, kBottom, kRight, kInsideHorizontal, kInsideVertical };

struct CellDefinition {
    int right = 0;  // \cellx: the cell's right edge from the left margin
    std::array<TableBorder, 4> borders{};  // top, left, bottom, right
    std::array<int, 4> padding{-1, -1, -1, -1};  // \clpad*, same order; -1 when not given
    int background = -1;  // \clcbpat
    int pattern = -1;     // \clcfpat
    int shading = 0;      // \clshdng, hundredths of a percent of the pattern colour
    quint8 verticalAlignment = 0;  // 0 top, 1 centre, 2 bottom
    bool mergeFirst = false;   // \clmgf
    bool mergeNext = false;    // \clmrg
    bool vmergeFirst = false;  // \clvmgf
    bool vmergeNext = false;   // \clvmrg
};

struct RowDefinition {
    std::vector<CellDefinition> cells;
    CellDefinition next;  // the cell being described, until its \cellx
    std::array<TableBorder, 6> borders{};  // BorderSide order
    std::array<int, 4> padding{-1, -1, -1, -1};  // \trpadd*: top, left, bottom, right
    int left = 0;    // \trleft
    int gap = 0;     // \trgaph: half the space between the texts of two cells
    int height = 0;  // \trrh: at least (positive) or exactly (negative), 0 automatic
    quint8 alignment = 0;  // 0 left, 1 centre, 2 right
    bool header = false;   // \trhdr
    bool autoFit = false;  // \trautofit1: other readers may fit the widths to the text
};

// Reads the row-definition words into a definition. Border words (\brdr*) apply to the
// border the last side word chose; a paragraph's own border sides choose none.
class RowDefinitionReader {
public:
    // False when the word is no row-definition word.
    bool handle(RowDefinition &row, RtfWord word, int value);

private:
    TableBorder *target(RowDefinition &row);

    enum class Target : quint8 { None, Cell, Row };
    Target m_target = Target::None;
    int m_side = 0;
};

// Most cells a row keeps: the cells past them share the last one.
constexpr int kMaxRtfTableColumns = 63;

}  // namespace engine::rtfin
