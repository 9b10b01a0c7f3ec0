#pragma once
#include "engine/codec/rtf/read/rtftablecollector.h"

#include <QHash>
#include <array>

class QTextBlockFormat;
class QTextCharFormat;
class QTextTableCellFormat;

// Places a collected RTF table into the document as a QTextTable, at its end. The
// table's columns are the edges of all its rows' cells together; a cell spans the
// columns between its edges, merged cells (\clmgf/\clmrg, \clvmgf/\clvmrg) become one
// spanning cell that keeps the text of all of them, and a row that covers fewer columns
// than the table gets empty filler cells. Tables too ragged for kMaxRtfTableColumns
// columns take each row's cells in order instead.
namespace engine::rtfin {

class SourceColorTable;

// What a table cell looks like, resolved (colours as RGB): cells that look alike share
// one cell format, worked out once.
struct CellLook {
    std::array<int, 24> values{};
    int &operator[](int field) { return values[size_t(field)]; }
    int operator[](int field) const { return values[size_t(field)]; }
    bool operator==(const CellLook &) const = default;
};

inline size_t qHash(const CellLook &look, size_t seed = 0)
{
    return qHashRange(look.values.begin(), look.values.end(), seed);
}

struct PlacedCell;
struct PlacedRow;

class TablePlacer {
public:
    TablePlacer(DocumentBuilder &builder, const SourceColorTable &colors) : m_builder(builder), m_colors(colors) {}
    // `after` and `afterMark` are the formats of the paragraph that follows the table.
    void place(CollectedTable &table, const QTextBlockFormat &after, const QTextCharFormat &afterMark);

private:

    CellLook cellLook(const PlacedRow &row, const PlacedCell &cell, bool firstRow, bool lastRow, int columns) const;
    QTextTableCellFormat cellFormat(const CellLook &look) const;
    int cellFormatIndex(const CellLook &look, int table);
    int cellStartIndex(int cellFormat, const QTextCharFormat &mark);
    void placeContent(CollectedCell *content, int cellFormat);

    DocumentBuilder &m_builder;
    const SourceColorTable &m_colors;
    QHash<QPair<int, CellLook>, int> m_cellFormats;  // by table object and look
    QHash<QPair<int, int>, int> m_cellStarts;         // by cell format and paragraph mark format
};

}  // namespace engine::rtfin
