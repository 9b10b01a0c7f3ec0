#pragma once
#include "engine/codec/rtf/read/rtfdocumentbuilder.h"
#include "engine/codec/rtf/read/rtftabledefinition.h"

#include <memory>
#include <vector>

// Collects the paragraphs of an RTF table, which RTF gives as a flat run of paragraphs
// marked as in a table (\intbl, \itapN for the nesting level) and ended by cell and row
// marks, into rows and cells, so that the table can be placed once its column edges are
// all known. A nested table is an item of the cell that holds it.
namespace engine::rtfin {

struct CollectedTable;

struct CellItem {
    DocumentBuilder::Paragraph paragraph;
    std::unique_ptr<CollectedTable> table;  // set for a nested table, else the paragraph counts
};

struct CollectedCell {
    std::vector<CellItem> items;
};

struct CollectedRow {
    RowDefinition definition;
    std::vector<CollectedCell> cells;
    bool cellOpen = false;  // the last cell has not been ended
    bool ended = false;     // its row mark was read
};

struct CollectedTable {
    std::vector<CollectedRow> rows;
};

// Limits against hostile files: tables nest at most kMaxRtfTableDepth deep, a table keeps
// at most kMaxRtfTableRows rows and a document kMaxRtfTableCells cells. What lies past
// them is read as paragraphs of text.
constexpr int kMaxRtfTableDepth = 16;
constexpr int kMaxRtfTableRows = 32767;
constexpr int kMaxRtfTableCells = 500000;

class TableCollector {
public:
    bool isOpen() const { return m_top != nullptr; }
    // Whether a paragraph at this nesting level (1 for a table in the body) can go into
    // a table: false past the limits.
    bool accepts(int level) const;
    void addParagraph(int level, DocumentBuilder::Paragraph &&paragraph);
    void endCell(int level);
    void endRow(int level, const RowDefinition &definition);
    // The outermost table, with every table in it ended; a last row without its row mark
    // takes `definition`, the row definition in force.
    std::unique_ptr<CollectedTable> take(const RowDefinition &definition);

private:
    void openTo(int level);
    CollectedRow &currentRow(CollectedTable &table);
    CollectedCell &currentCell(CollectedTable &table);

    std::unique_ptr<CollectedTable> m_top;
    std::vector<CollectedTable *> m_open;  // outermost first
    int m_cells = 0;
};

}  // namespace engine::rtfin
