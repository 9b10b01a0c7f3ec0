#include "engine/codec/rtf/read/rtftabledefinition.h"

#include <algorithm>
#include <optional>

namespace engine::rtfin {

namespace {

constexpr int kMaxTwips = kMaxRtfTableTwips;

int twips(int value)
{
    return std::clamp(value, -kMaxTwips, kMaxTwips);
}

std::optional<BorderKind> borderKindOf(RtfWord word)
{
    switch (word) {
    case RtfWord::brdrs: return BorderKind::Single;
    case RtfWord::brdrth: case RtfWord::brdrsh: return BorderKind::Thick;
    case RtfWord::brdrdb: case RtfWord::brdrtriple: return BorderKind::Double;
    case RtfWord::brdrdot: return BorderKind::Dotted;
    case RtfWord::brdrdash: case RtfWord::brdrdashsm: return BorderKind::Dashed;
    case RtfWord::brdrhair: return BorderKind::Hairline;
    case RtfWord::brdrinset: case RtfWord::brdrengrave: return BorderKind::Inset;
    case RtfWord::brdroutset: case RtfWord::brdremboss: return BorderKind::Outset;
    case RtfWord::brdrnone: case RtfWord::brdrnil: return BorderKind::None;
    default: return std::nullopt;
    }
}

}  // namespace

TableBorder *RowDefinitionReader::target(RowDefinition &row)
{
    switch (m_target) {
    case Target::Cell: return &row.next.borders[size_t(m_side)];
    case Target::Row: return &row.borders[size_t(m_side)];
    case Target::None: break;
    }
    return nullptr;
}

bool RowDefinitionReader::handle(RowDefinition &row, RtfWord word, int value)
{
    CellDefinition &cell = row.next;
    const auto chooseCell = [&](int side) { m_target = Target::Cell; m_side = side; };
    const auto chooseRow = [&](int side) { m_target = Target::Row; m_side = side; };
    switch (word) {
    case RtfWord::trowd: row = RowDefinition(); m_target = Target::None; return true;
    case RtfWord::cellx:
        cell.right = twips(value);
        if (int(row.cells.size()) < kMaxRtfTableColumns)
            row.cells.push_back(cell);
        cell = CellDefinition();
        m_target = Target::None;
        return true;
    case RtfWord::trleft: row.left = twips(value); return true;
    case RtfWord::trgaph: row.gap = std::clamp(value, 0, kMaxTwips); return true;
    case RtfWord::trrh: row.height = twips(value); return true;
    case RtfWord::trql: row.alignment = 0; return true;
    case RtfWord::trqc: row.alignment = 1; return true;
    case RtfWord::trqr: row.alignment = 2; return true;
    case RtfWord::trhdr: row.header = true; return true;
    case RtfWord::trautofit: row.autoFit = value != 0; return true;
    case RtfWord::trpaddt: row.padding[0] = std::clamp(value, 0, kMaxTwips); return true;
    case RtfWord::trpaddl: row.padding[1] = std::clamp(value, 0, kMaxTwips); return true;
    case RtfWord::trpaddb: row.padding[2] = std::clamp(value, 0, kMaxTwips); return true;
    case RtfWord::trpaddr: row.padding[3] = std::clamp(value, 0, kMaxTwips); return true;
    // Writers swap these two, as the first writer of them did: \clpadl is the top padding.
    case RtfWord::clpadl: cell.padding[0] = std::clamp(value, 0, kMaxTwips); return true;
    case RtfWord::clpadt: cell.padding[1] = std::clamp(value, 0, kMaxTwips); return true;
    case RtfWord::clpadb: cell.padding[2] = std::clamp(value, 0, kMaxTwips); return true;
    case RtfWord::clpadr: cell.padding[3] = std::clamp(value, 0, kMaxTwips); return true;
    case RtfWord::clvertalt: cell.verticalAlignment = 0; return true;
    case RtfWord::clvertalc: cell.verticalAlignment = 1; return true;
    case RtfWord::clvertalb: cell.verticalAlignment = 2; return true;
    case RtfWord::clmgf: cell.mergeFirst = true; return true;
    case RtfWord::clmrg: cell.mergeNext = true; return true;
    case RtfWord::clvmgf: cell.vmergeFirst = true; return true;
    case RtfWord::clvmrg: cell.vmergeNext = true; return true;
    case RtfWord::clcbpat: cell.background = std::max(0, value); return true;
    case RtfWord::clcfpat: cell.pattern = std::max(0, value); return true;
    case RtfWord::clshdng: cell.shading = std::clamp(value, 0, 10000); return true;
    case RtfWord::clbrdrt: chooseCell(kTop); return true;
    case RtfWord::clbrdrl: chooseCell(kLeft); return true;
    case RtfWord::clbrdrb: chooseCell(kBottom); return true;
    case RtfWord::clbrdrr: chooseCell(kRight); return true;
    case RtfWord::trbrdrt: chooseRow(kTop); return true;
    case RtfWord::trbrdrl: chooseRow(kLeft); return true;
    case RtfWord::trbrdrb: chooseRow(kBottom); return true;
    case RtfWord::trbrdrr: chooseRow(kRight); return true;
    case RtfWord::trbrdrh: chooseRow(kInsideHorizontal); return true;
    case RtfWord::trbrdrv: chooseRow(kInsideVertical); return true;
    // A paragraph's borders are not the table's.
    case RtfWord::brdrt: case RtfWord::brdrb: case RtfWord::brdrl: case RtfWord::brdrr:
    case RtfWord::brdrbtw: case RtfWord::box:
        m_target = Target::None;
        return false;
    case RtfWord::brdrw:
        if (TableBorder *border = target(row))
            border->widthTwips = std::clamp(value, 0, 1440);
        return true;
    case RtfWord::brdrcf:
        if (TableBorder *border = target(row))
            border->color = std::max(0, value);
        return true;
    default:
        break;
    }
    if (const std::optional<BorderKind> kind = borderKindOf(word)) {
        if (TableBorder *border = target(row))
            border->kind = *kind;
        return true;
    }
    return false;
}

}  // namespace engine::rtfin
