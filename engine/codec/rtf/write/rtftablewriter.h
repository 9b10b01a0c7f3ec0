#pragma once
#include <QByteArray>
#include <functional>
#include <optional>
#include <vector>

class QTextBlock;
class QTextFrame;
class QTextTable;
class QTextTableCell;

// Writes the frames of a document, its tables in RTF's form: each row a row definition
// (\trowd, each cell's borders, shading, merges and right edge \cellx) and the cells'
// paragraphs marked \intbl, ended by \cell and \row. A table inside a cell is written as
// RTF nests tables: its paragraphs at \itap 2 (and deeper), ended by \nestcell, and its
// row definitions in {\*\nesttableprops ... \nestrow}. Merged cells are written as one
// cell with the right edge of the last column it covers, or as \clvmgf/\clvmrg down.
namespace engine {

class OutputColorTable;
class RtfOutput;

class TableWriter {
public:
    // Writes one paragraph; `end` is the word that ends it ("par", "cell" or "nestcell"),
    // `level` how deep in tables it stands (0 in the body).
    using BlockWriter = std::function<void(const QTextBlock &block, const char *end, int level)>;

    TableWriter(RtfOutput &out, OutputColorTable &colors, BlockWriter writeBlock);
    // The frame's blocks and tables; `level` counts the tables around it.
    void writeFrame(const QTextFrame *frame, int level);

private:
    // What a cell format writes, worked out once per format: most cells share a few.
    struct CellInfo {
        QByteArray definition;  // the cell's words before its \cellx
        int gap = 0;            // \trgaph when the cell starts a row
        int rowHeight = 0;
        bool filler = false;
        bool noPadding = false;  // all four paddings are 0: its definition names none
    };

    const CellInfo &cellInfo(const QTextTableCell &cell);
    CellInfo computeCellInfo(const QTextTableCell &cell);
    bool isEmptyFiller(const QTextTableCell &cell);
    void writeTable(const QTextTable *table, int level);
    void writeRowDefinition(const QTextTable *table, int row, const std::vector<int> &edges);
    void writeCellContent(const QTextTableCell &cell, int level);

    RtfOutput &m_out;
    OutputColorTable &m_colors;
    BlockWriter m_writeBlock;
    std::vector<std::optional<CellInfo>> m_cells;  // by cell format index
};

}  // namespace engine
