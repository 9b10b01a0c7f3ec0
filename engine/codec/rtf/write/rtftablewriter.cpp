#include "engine/codec/rtf/write/rtftablewriter.h"

#include "engine/codec/formatmapping.h"
#include "engine/codec/rtf/tablelengths.h"
#include "engine/codec/rtf/write/outputtables.h"
#include "engine/codec/rtf/write/rtfoutput.h"
#include "engine/codec/textprops.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>
#include <cmath>
#include <vector>

namespace engine {

namespace {

constexpr int kDefaultTableTwips = 9360;  // the text width of a letter page with 1'' margins
// Each cell padding's word and the word of its unit; top and left are written with each
// other's words, as other readers expect.
constexpr std::pair<const char *, const char *> kPaddingWords[4] = {
    {"clpadl", "clpadfl"}, {"clpadt", "clpadft"}, {"clpadb", "clpadfb"}, {"clpadr", "clpadfr"}};

// The width Qt fixes for a column (in pixels or as a share of the page), in twips cut to
// the widest a column can be; -1 when the layout chooses it.
int fixedWidthTwips(const QTextLength &length)
{
    constexpr int kWidestTwips = 2 * kMaxRtfTableTwips;  // from one farthest edge to the other
    if (length.type() == QTextLength::FixedLength)
        return pixelsToTwips(std::clamp(length.rawValue(), 0.0, twipsToPixels(kWidestTwips)));
    if (length.type() == QTextLength::PercentageLength)
        return int(std::lround(std::clamp(kDefaultTableTwips * length.rawValue() / 100.0, 0.0, double(kWidestTwips))));
    return -1;
}

// The column edges in twips from the margin: as read when the columns are still those
// read, else from Qt's width constraints. Those end where a reader takes the farthest
// cell edge to be, the last columns narrowed, so that the table reads back as written.
std::vector<int> columnEdges(const QTextTable *table)
{
    const QTextTableFormat format = table->format();
    const int columns = table->columns();
    const QList<int> read = format.property(prop::TableColumnEdgesTwips).value<QList<int>>();
    if (read.size() == columns + 1)
        return {read.begin(), read.end()};
    const QList<QTextLength> constraints = format.columnWidthConstraints();
    qint64 fixed = 0;
    int variable = 0;
    for (int c = 0; c < columns; ++c) {
        const int width = fixedWidthTwips(constraints.value(c));
        if (width >= 0)
            fixed += width;
        else
            ++variable;
    }
    const int share = variable > 0 ? int(std::max<qint64>(720, (kDefaultTableTwips - fixed) / variable)) : 0;
    const int farthestLeft = std::max(-kMaxRtfTableTwips, kMaxRtfTableTwips - columns * kMinRtfCellTwips);
    std::vector<int> edges{std::clamp(pixelsToTwips(format.leftMargin()), -kMaxRtfTableTwips, farthestLeft)};
    for (int c = 0; c < columns; ++c) {
        const int width = fixedWidthTwips(constraints.value(c));
        const int roomAfter = (columns - 1 - c) * kMinRtfCellTwips;
        edges.push_back(std::min(edges.back() + std::max(kMinRtfCellTwips, width >= 0 ? width : share),
                                 kMaxRtfTableTwips - roomAfter));
    }
    return edges;
}

const char *borderWord(QTextFrameFormat::BorderStyle style)
{
    switch (style) {
    case QTextFrameFormat::BorderStyle_Double: return "brdrdb";
    case QTextFrameFormat::BorderStyle_Dotted: return "brdrdot";
    case QTextFrameFormat::BorderStyle_Dashed:
    case QTextFrameFormat::BorderStyle_DotDash:
    case QTextFrameFormat::BorderStyle_DotDotDash: return "brdrdash";
    case QTextFrameFormat::BorderStyle_Inset: return "brdrinset";
    case QTextFrameFormat::BorderStyle_Outset: return "brdroutset";
    default: return "brdrs";
    }
}

}  // namespace

TableWriter::TableWriter(RtfOutput &out, OutputColorTable &colors, BlockWriter writeBlock)
    : m_out(out), m_colors(colors), m_writeBlock(std::move(writeBlock))
{
}

// An empty paragraph that only stands before a table at the start of the document or of
// a cell is Qt's, not the document's: it is left out, and reading puts it back.
void TableWriter::writeFrame(const QTextFrame *frame, int level)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame *child = it.currentFrame()) {
            if (const auto *table = qobject_cast<const QTextTable *>(child))
                writeTable(table, level + 1);
            else
                writeFrame(child, level);
            continue;
        }
        const QTextBlock block = it.currentBlock();
        auto next = it;
        ++next;
        if (block.length() == 1 && it == frame->begin() && !next.atEnd() && next.currentFrame())
            continue;
        m_writeBlock(block, "par", level);
    }
}

void TableWriter::writeTable(const QTextTable *table, int level)
{
    const std::vector<int> edges = columnEdges(table);
    for (int row = 0; row < table->rows(); ++row) {
        if (level == 1)
            writeRowDefinition(table, row, edges);
        for (int column = 0; column < table->columns();) {
            const QTextTableCell cell = table->cellAt(row, column);
            column = cell.column() + std::max(1, cell.columnSpan());
            if (isEmptyFiller(cell) && (cell.column() == 0 || column >= table->columns()))
                continue;
            if (cell.row() != row) {
                // The part of a cell merged down: an empty cell of its own in RTF.
                m_out.word("pard");
                m_out.word("intbl");
                if (level > 1)
                    m_out.word("itap", level);
                m_out.word(level > 1 ? "nestcell" : "cell");
                m_out.newline();
                continue;
            }
            writeCellContent(cell, level);
        }
        if (level == 1) {
            m_out.word("row");
        } else {
            m_out.raw("{\\*\\nesttableprops");
            writeRowDefinition(table, row, edges);
            m_out.word("nestrow");
            m_out.raw("}{\\nonesttables\\par}");
        }
        m_out.newline();
    }
}

const TableWriter::CellInfo &TableWriter::cellInfo(const QTextTableCell &cell)
{
    const auto index = size_t(std::max(0, cell.tableCellFormatIndex()));
    if (index >= m_cells.size())
        m_cells.resize(index + 1);
    std::optional<CellInfo> &cached = m_cells[index];
    if (!cached)
        cached = computeCellInfo(cell);
    return *cached;
}

bool TableWriter::isEmptyFiller(const QTextTableCell &cell)
{
    return cellInfo(cell).filler && cell.firstPosition() == cell.lastPosition();
}

void TableWriter::writeRowDefinition(const QTextTable *table, int row, const std::vector<int> &edges)
{
    const QTextTableFormat format = table->format();
    const QTextTableCell first = table->cellAt(row, 0);
    const CellInfo &start = cellInfo(first);
    m_out.word("trowd");
    const int gap = format.hasProperty(prop::TableGapTwips) ? format.intProperty(prop::TableGapTwips) : start.gap;
    m_out.word("trgaph", gap);
    int startColumn = 0;
    if (isEmptyFiller(first))
        startColumn = first.column() + first.columnSpan();
    m_out.word("trleft", edges[size_t(std::min<int>(startColumn, int(edges.size()) - 1))]);
    if (format.alignment() & Qt::AlignHCenter)
        m_out.word("trqc");
    else if (format.alignment() & Qt::AlignRight)
        m_out.word("trqr");
    if (row < format.headerRowCount())
        m_out.word("trhdr");
    if (format.boolProperty(prop::TableAutoFit))
        m_out.word("trautofit", 1);
    if (start.rowHeight != 0)
        m_out.word("trrh", start.rowHeight);
    for (int column = 0; column < table->columns();) {
        const QTextTableCell cell = table->cellAt(row, column);
        column = cell.column() + std::max(1, cell.columnSpan());
        if (isEmptyFiller(cell) && (cell.column() == 0 || column >= table->columns()))
            continue;
        if (cell.row() != row)
            m_out.word("clvmrg");
        else if (cell.rowSpan() > 1)
            m_out.word("clvmgf");
        // A cell without padding says so where the row's gap would give it some.
        if (cellInfo(cell).noPadding && gap != 0) {
            for (const auto &[word, unit] : kPaddingWords) {
                m_out.word(word, 0);
                m_out.word(unit, 3);
            }
        }
        m_out.words(cellInfo(cell).definition);
        m_out.word("cellx", edges[size_t(std::min<int>(column, int(edges.size()) - 1))]);
    }
    m_out.newline();
}

TableWriter::CellInfo TableWriter::computeCellInfo(const QTextTableCell &cell)
{
    const QTextTableCellFormat format = cell.format().toTableCellFormat();
    CellInfo info;
    info.filler = format.boolProperty(prop::CellFiller);
    info.rowHeight = format.intProperty(prop::CellRowHeightTwips);
    info.gap = pixelsToTwips(format.leftPadding());
    RtfOutput out(256);
    // Each cell states its padding in twips, as the row's gap may differ.
    const int padding[4] = {pixelsToTwips(format.topPadding()), pixelsToTwips(format.leftPadding()),
                            pixelsToTwips(format.bottomPadding()), pixelsToTwips(format.rightPadding())};
    info.noPadding = std::all_of(std::begin(padding), std::end(padding), [](int twips) { return twips == 0; });
    if (!info.noPadding) {
        for (int side = 0; side < 4; ++side) {
            out.word(kPaddingWords[side].first, padding[side]);
            out.word(kPaddingWords[side].second, 3);
        }
    }
    if (format.verticalAlignment() == QTextCharFormat::AlignMiddle)
        out.word("clvertalc");
    else if (format.verticalAlignment() == QTextCharFormat::AlignBottom)
        out.word("clvertalb");
    struct Side {
        const char *word;
        qreal width;
        QTextFrameFormat::BorderStyle style;
        QBrush brush;
    };
    const Side sides[4] = {
        {"clbrdrt", format.topBorder(), format.topBorderStyle(), format.topBorderBrush()},
        {"clbrdrl", format.leftBorder(), format.leftBorderStyle(), format.leftBorderBrush()},
        {"clbrdrb", format.bottomBorder(), format.bottomBorderStyle(), format.bottomBorderBrush()},
        {"clbrdrr", format.rightBorder(), format.rightBorderStyle(), format.rightBorderBrush()},
    };
    for (const Side &side : sides) {
        if (side.width <= 0 || side.style == QTextFrameFormat::BorderStyle_None)
            continue;
        out.word(side.word);
        out.word(borderWord(side.style));
        out.word("brdrw", std::clamp(pixelsToTwips(side.width), 1, 1440));
        const QColor color = side.brush.style() == Qt::NoBrush ? QColor(Qt::black) : side.brush.color();
        out.word("brdrcf", m_colors.indexOf(color));
    }
    if (format.background().style() == Qt::SolidPattern)
        out.word("clcbpat", m_colors.indexOf(format.background().color()));
    info.definition = out.take();
    return info;
}

// The cell's paragraphs and tables; its last paragraph ends with the cell mark.
void TableWriter::writeCellContent(const QTextTableCell &cell, int level)
{
    const char *cellEnd = level > 1 ? "nestcell" : "cell";
    for (auto it = cell.begin(); !it.atEnd(); ++it) {
        if (const QTextFrame *child = it.currentFrame()) {
            if (const auto *table = qobject_cast<const QTextTable *>(child))
                writeTable(table, level + 1);
            else
                writeFrame(child, level);
            continue;
        }
        auto next = it;
        ++next;
        const QTextBlock block = it.currentBlock();
        if (block.length() == 1 && it == cell.begin() && !next.atEnd() && next.currentFrame())
            continue;
        m_writeBlock(block, next.atEnd() ? cellEnd : "par", level);
    }
}

}  // namespace engine
