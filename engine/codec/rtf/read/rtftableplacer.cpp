#include "engine/codec/rtf/read/rtftableplacer.h"

#include "engine/codec/formatmapping.h"
#include "engine/codec/rtf/read/sourcetables.h"
#include "engine/codec/textprops.h"

#include <QTextDocument>
#include <QTextTable>
#include <QtGui/private/qtextdocument_p.h>
#include <algorithm>

namespace engine::rtfin {

struct PlacedCell {
    CollectedCell *content = nullptr;  // null for a filler
    CellDefinition definition;
    int left = 0;
    int right = 0;
    int column = 0;
    int span = 1;
    int rowSpan = 1;
    bool covered = false;  // continues the cell above it
};

struct PlacedRow {
    const RowDefinition *definition = nullptr;
    std::vector<PlacedCell> cells;
};

namespace {

constexpr int kDefaultCellTwips = 1440;   // a cell that no \cellx describes
constexpr int kEdgeTolerance = 10;        // edges this close are one column edge
constexpr int kDefaultBorderTwips = 10;
constexpr int kHairlineTwips = 15;        // a pixel

// The cells of a row with their edges, horizontal merges joined. Every cell is at least
// kMinRtfCellTwips wide and every edge within kMaxRtfTableTwips, as a \cellx read can say:
// a row that would reach past it is narrowed at its end, so that what is written back
// reads back as the same table.
PlacedRow rowCells(CollectedRow &row)
{
    PlacedRow placed;
    placed.definition = &row.definition;
    const std::vector<CellDefinition> &defined = row.definition.cells;
    const int count = int(row.cells.size());
    int edge = std::min(row.definition.left, kMaxRtfTableTwips - count * kMinRtfCellTwips);
    int lastWidth = kDefaultCellTwips;
    for (size_t i = 0; i < row.cells.size(); ++i) {
        // A cell past the last \cellx looks like the last described one, merges aside.
        CellDefinition definition = i < defined.size() ? defined[i] : (defined.empty() ? CellDefinition() : defined.back());
        if (i >= defined.size())
            definition.mergeFirst = definition.mergeNext = definition.vmergeFirst = definition.vmergeNext = false;
        const int roomAfter = (count - 1 - int(i)) * kMinRtfCellTwips;
        const int right = std::clamp(i < defined.size() ? defined[i].right : edge + lastWidth, edge + kMinRtfCellTwips,
                                     kMaxRtfTableTwips - roomAfter);
        lastWidth = right - edge;
        definition.right = right;
        if (definition.mergeNext && !definition.mergeFirst && !placed.cells.empty()) {
            PlacedCell &first = placed.cells.back();
            first.right = right;
            first.definition.borders[kRight] = definition.borders[kRight];
            for (CellItem &item : row.cells[i].items) {
                if (item.table || !item.paragraph.runs.empty())
                    first.content->items.push_back(std::move(item));
            }
        } else {
            placed.cells.push_back(PlacedCell{&row.cells[i], definition, edge, right});
        }
        edge = right;
    }
    return placed;
}

int nearestEdge(const std::vector<int> &edges, int twips)
{
    const auto it = std::lower_bound(edges.begin(), edges.end(), twips - kEdgeTolerance);
    return int(std::min<qsizetype>(it - edges.begin(), qsizetype(edges.size()) - 1));
}

// Every edge of every row, edges closer than the tolerance taken as one.
std::vector<int> columnEdges(const std::vector<PlacedRow> &rows)
{
    std::vector<int> all;
    for (const PlacedRow &row : rows) {
        for (const PlacedCell &cell : row.cells) {
            all.push_back(cell.left);
            all.push_back(cell.right);
        }
    }
    std::sort(all.begin(), all.end());
    std::vector<int> edges;
    for (const int edge : all) {
        if (edges.empty() || edge - edges.back() > kEdgeTolerance)
            edges.push_back(edge);
    }
    return edges;
}

// Columns from the edges, or, for a table too ragged for that, from the cells' order.
std::vector<int> assignColumns(std::vector<PlacedRow> &rows)
{
    std::vector<int> edges = columnEdges(rows);
    if (edges.size() >= 2 && int(edges.size()) - 1 <= kMaxRtfTableColumns) {
        for (PlacedRow &row : rows) {
            for (PlacedCell &cell : row.cells) {
                cell.column = nearestEdge(edges, cell.left);
                cell.span = std::max(1, nearestEdge(edges, cell.right) - cell.column);
            }
        }
        return edges;
    }
    size_t columns = 1;
    for (const PlacedRow &row : rows)
        columns = std::max(columns, row.cells.size());
    const PlacedRow &widest = *std::max_element(rows.begin(), rows.end(), [](const PlacedRow &a, const PlacedRow &b) {
        return a.cells.size() < b.cells.size();
    });
    edges.assign(1, widest.cells.empty() ? 0 : widest.cells.front().left);
    for (const PlacedCell &cell : widest.cells)
        edges.push_back(std::max(cell.right, edges.back() + kMinRtfCellTwips));
    for (PlacedRow &row : rows) {
        for (size_t i = 0; i < row.cells.size(); ++i) {
            row.cells[i].column = int(i);
            row.cells[i].span = i + 1 == row.cells.size() ? int(columns - i) : 1;
        }
    }
    return edges;
}

// Rows that leave columns empty get filler cells there, so that every row fills the grid.
void fillGaps(std::vector<PlacedRow> &rows, const std::vector<int> &edges)
{
    const int columns = int(edges.size()) - 1;
    for (PlacedRow &row : rows) {
        std::vector<PlacedCell> filled;
        int column = 0;
        for (PlacedCell &cell : row.cells) {
            if (cell.column < column) {
                // Overlaps the cell before it (edges out of order): it follows that cell.
                cell.column = column;
                cell.span = 1;
            }
            if (cell.column > column)
                filled.push_back(PlacedCell{nullptr, CellDefinition(), edges[size_t(column)], edges[size_t(cell.column)],
                                            column, cell.column - column});
            if (cell.column >= columns) {
                // No column is left for it: its text joins the cell before.
                const auto before = std::find_if(filled.rbegin(), filled.rend(), [](const PlacedCell &c) { return c.content; });
                if (before != filled.rend()) {
                    for (CellItem &item : cell.content->items)
                        before->content->items.push_back(std::move(item));
                }
                continue;
            }
            cell.span = std::clamp(cell.span, 1, columns - cell.column);
            column = cell.column + cell.span;
            filled.push_back(cell);
        }
        if (column < columns)
            filled.push_back(PlacedCell{nullptr, CellDefinition(), edges[size_t(column)], edges.back(), column,
                                        columns - column});
        row.cells = std::move(filled);
    }
}

bool hasText(const CollectedCell &cell)
{
    return std::any_of(cell.items.begin(), cell.items.end(),
                       [](const CellItem &item) { return item.table || !item.paragraph.runs.empty(); });
}

// A cell marked as continuing the one above it of the same columns joins that one.
void mergeVertically(std::vector<PlacedRow> &rows, int columns)
{
    std::vector<PlacedCell *> open(size_t(columns), nullptr);
    for (PlacedRow &row : rows) {
        for (PlacedCell &cell : row.cells) {
            PlacedCell *above = open[size_t(cell.column)];
            if (cell.content && cell.definition.vmergeNext && above && above->column == cell.column
                && above->span == cell.span) {
                ++above->rowSpan;
                cell.covered = true;
                if (hasText(*cell.content)) {
                    for (CellItem &item : cell.content->items)
                        above->content->items.push_back(std::move(item));
                }
                continue;
            }
            PlacedCell *origin = cell.content && cell.definition.vmergeFirst ? &cell : nullptr;
            for (int c = cell.column; c < cell.column + cell.span; ++c)
                open[size_t(c)] = origin;
        }
    }
}

QTextFrameFormat::BorderStyle borderStyle(BorderKind kind)
{
    switch (kind) {
    case BorderKind::None: return QTextFrameFormat::BorderStyle_None;
    case BorderKind::Double: return QTextFrameFormat::BorderStyle_Double;
    case BorderKind::Dotted: return QTextFrameFormat::BorderStyle_Dotted;
    case BorderKind::Dashed: return QTextFrameFormat::BorderStyle_Dashed;
    case BorderKind::Inset: return QTextFrameFormat::BorderStyle_Inset;
    case BorderKind::Outset: return QTextFrameFormat::BorderStyle_Outset;
    default: return QTextFrameFormat::BorderStyle_Solid;
    }
}

QTextTableFormat tableFormat(const std::vector<PlacedRow> &rows, const std::vector<int> &edges)
{
    const RowDefinition &first = *rows.front().definition;
    QTextTableFormat format;
    format.setColumns(int(edges.size()) - 1);
    QList<QTextLength> widths;
    QList<int> twips;
    for (size_t i = 0; i < edges.size(); ++i) {
        twips.append(edges[i]);
        if (i > 0)
            widths.append(QTextLength(QTextLength::FixedLength, twipsToPixels(edges[i] - edges[i - 1])));
    }
    format.setColumnWidthConstraints(widths);
    format.setProperty(prop::TableColumnEdgesTwips, QVariant::fromValue(twips));
    format.setProperty(prop::TableGapTwips, first.gap);
    if (first.autoFit)
        format.setProperty(prop::TableAutoFit, true);
    format.setBorderCollapse(true);
    format.setBorder(0);
    format.setCellSpacing(0);
    format.setCellPadding(0);
    format.setMargin(0);
    format.setAlignment(first.alignment == 1 ? Qt::AlignHCenter : first.alignment == 2 ? Qt::AlignRight : Qt::AlignLeft);
    if (first.alignment == 0 && edges.front() > 0)
        format.setLeftMargin(twipsToPixels(edges.front()));
    int headers = 0;
    while (headers < int(rows.size()) && rows[size_t(headers)].definition->header)
        ++headers;
    format.setHeaderRowCount(headers);
    return format;
}

// The fields of a cell look.
constexpr int kBorderKinds = 0;   // 4 sides, in BorderSide order
constexpr int kBorderWidths = 4;  // twips, 0 for none
constexpr int kBorderColors = 8;  // RGB
constexpr int kPaddings = 12;     // twips
constexpr int kBackground = 16;   // ARGB, 0 for none
constexpr int kVerticalAlignment = 17;
constexpr int kRowHeight = 18;
constexpr int kRowSpan = 19;
constexpr int kColumnSpan = 20;
constexpr int kFiller = 21;

}  // namespace

CellLook TablePlacer::cellLook(const PlacedRow &row, const PlacedCell &cell, bool firstRow, bool lastRow,
                                            int columns) const
{
    CellLook look{};
    look[kRowSpan] = cell.rowSpan;
    look[kColumnSpan] = cell.span;
    if (!cell.content) {
        look[kFiller] = 1;
        return look;
    }
    const RowDefinition &definition = *row.definition;
    const CellDefinition &own = cell.definition;
    // A side the cell does not describe takes the row's border for that place.
    const int rowSides[4] = {firstRow ? kTop : kInsideHorizontal, cell.column == 0 ? kLeft : kInsideVertical,
                             lastRow ? kBottom : kInsideHorizontal,
                             cell.column + cell.span >= columns ? kRight : kInsideVertical};
    for (int side = kTop; side <= kRight; ++side) {
        const TableBorder &border = own.borders[size_t(side)].kind != BorderKind::None
                                        ? own.borders[size_t(side)]
                                        : definition.borders[size_t(rowSides[side])];
        if (border.kind == BorderKind::None)
            continue;
        look[(kBorderKinds + side)] = int(border.kind);
        // A hairline is as thin as the screen draws.
        const int width = border.kind == BorderKind::Hairline ? kHairlineTwips
                          : border.widthTwips > 0             ? border.widthTwips
                                                              : kDefaultBorderTwips;
        look[(kBorderWidths + side)] = width;
        const QColor color = m_colors.at(border.color);
        look[(kBorderColors + side)] = int(color.isValid() ? color.rgb() : QColor(Qt::black).rgb());
    }
    for (int side = kTop; side <= kRight; ++side) {
        int padding = side == kLeft || side == kRight ? definition.gap : 0;
        if (own.padding[size_t(side)] >= 0)
            padding = own.padding[size_t(side)];
        else if (definition.padding[size_t(side)] >= 0)
            padding = definition.padding[size_t(side)];
        look[(kPaddings + side)] = padding;
    }
    QColor background = m_colors.at(own.background);
    if (own.shading > 0) {
        // The pattern colour over the background, in the shading's share.
        const QColor pattern = m_colors.at(own.pattern).isValid() ? m_colors.at(own.pattern) : QColor(Qt::black);
        const QColor base = background.isValid() ? background : QColor(Qt::white);
        const double share = own.shading / 10000.0;
        background = QColor::fromRgbF(float(base.redF() + (pattern.redF() - base.redF()) * share),
                                      float(base.greenF() + (pattern.greenF() - base.greenF()) * share),
                                      float(base.blueF() + (pattern.blueF() - base.blueF()) * share));
    }
    if (background.isValid())
        look[kBackground] = int(background.rgba());
    look[kVerticalAlignment] = own.verticalAlignment;
    look[kRowHeight] = definition.height;
    return look;
}

QTextTableCellFormat TablePlacer::cellFormat(const CellLook &look) const
{
    QTextTableCellFormat format;
    format.setTableCellRowSpan(look[kRowSpan]);
    format.setTableCellColumnSpan(look[kColumnSpan]);
    if (look[kFiller]) {
        format.setProperty(prop::CellFiller, true);
        return format;
    }
    for (int side = kTop; side <= kRight; ++side) {
        const auto kind = BorderKind(look[(kBorderKinds + side)]);
        const double width = kind == BorderKind::None ? 0.0 : twipsToPixels(look[(kBorderWidths + side)]);
        const QTextFrameFormat::BorderStyle style = borderStyle(kind);
        const QBrush brush{QColor::fromRgb(QRgb(look[(kBorderColors + side)]))};
        switch (side) {
        case kTop: format.setTopBorder(width), format.setTopBorderStyle(style), format.setTopBorderBrush(brush); break;
        case kLeft: format.setLeftBorder(width), format.setLeftBorderStyle(style), format.setLeftBorderBrush(brush); break;
        case kBottom:
            format.setBottomBorder(width), format.setBottomBorderStyle(style), format.setBottomBorderBrush(brush);
            break;
        default: format.setRightBorder(width), format.setRightBorderStyle(style), format.setRightBorderBrush(brush); break;
        }
    }
    format.setTopPadding(twipsToPixels(look[kPaddings + kTop]));
    format.setLeftPadding(twipsToPixels(look[kPaddings + kLeft]));
    format.setBottomPadding(twipsToPixels(look[kPaddings + kBottom]));
    format.setRightPadding(twipsToPixels(look[kPaddings + kRight]));
    if (look[kVerticalAlignment] == 1)
        format.setVerticalAlignment(QTextCharFormat::AlignMiddle);
    else if (look[kVerticalAlignment] == 2)
        format.setVerticalAlignment(QTextCharFormat::AlignBottom);
    if (look[kBackground] != 0)
        format.setBackground(QColor::fromRgba(QRgb(look[kBackground])));
    if (look[kRowHeight] != 0)
        format.setProperty(prop::CellRowHeightTwips, look[kRowHeight]);
    return format;
}

int TablePlacer::cellFormatIndex(const CellLook &look, int table)
{
    const QPair<int, CellLook> key(table, look);
    const auto found = m_cellFormats.constFind(key);
    if (found != m_cellFormats.cend())
        return *found;
    QTextTableCellFormat format = cellFormat(look);
    format.setObjectIndex(table);
    const int index = m_builder.formatIndex(format);
    m_cellFormats.insert(key, index);
    return index;
}

// A cell's start carries the cell format and the format of its first paragraph's mark,
// which typing into the empty paragraph uses.
int TablePlacer::cellStartIndex(int cellFormat, const QTextCharFormat &mark)
{
    const QPair<int, int> key(cellFormat, m_builder.formatIndex(mark));
    const auto found = m_cellStarts.constFind(key);
    if (found != m_cellStarts.cend())
        return *found;
    QTextCharFormat start = mark;
    start.merge(QTextDocumentPrivate::get(m_builder.document())->formatCollection()->charFormat(cellFormat));
    const int index = m_builder.formatIndex(start);
    m_cellStarts.insert(key, index);
    return index;
}

// A cell starts with its first paragraph (an empty one when it starts with a table or
// holds nothing); a nested table is followed by the paragraph after it, or an empty one.
void TablePlacer::placeContent(CollectedCell *content, int cellFormat)
{
    std::vector<CellItem> none;
    std::vector<CellItem> &items = content ? content->items : none;
    size_t i = 0;
    if (!items.empty() && !items.front().table) {
        DocumentBuilder::Paragraph &first = items.front().paragraph;
        m_builder.placeCellParagraph(std::move(first), cellStartIndex(cellFormat, first.markFormat));
        i = 1;
    } else {
        m_builder.placeCellParagraph(DocumentBuilder::Paragraph(), cellFormat);
    }
    for (; i < items.size(); ++i) {
        CellItem &item = items[i];
        if (!item.table) {
            m_builder.placeParagraph(std::move(item.paragraph));
            continue;
        }
        const bool paragraphFollows = i + 1 < items.size() && !items[i + 1].table;
        place(*item.table, paragraphFollows ? items[i + 1].paragraph.format : QTextBlockFormat(),
              paragraphFollows ? items[i + 1].paragraph.markFormat : QTextCharFormat());
    }
}

void TablePlacer::place(CollectedTable &table, const QTextBlockFormat &after, const QTextCharFormat &afterMark)
{
    std::vector<PlacedRow> rows;
    for (CollectedRow &row : table.rows) {
        if (!row.cells.empty())
            rows.push_back(rowCells(row));
    }
    if (rows.empty())
        return;
    const std::vector<int> edges = assignColumns(rows);
    const int columns = int(edges.size()) - 1;
    fillGaps(rows, edges);
    mergeVertically(rows, columns);

    const int object = m_builder.createObject(tableFormat(rows, edges))->objectIndex();
    m_builder.beginFrame();
    for (size_t r = 0; r < rows.size(); ++r) {
        for (const PlacedCell &cell : rows[r].cells) {
            if (!cell.covered) {
                const CellLook look = cellLook(rows[r], cell, r == 0, r + cell.rowSpan >= rows.size(), columns);
                placeContent(cell.content, cellFormatIndex(look, object));
            }
        }
    }
    // The frame's end is the mark before the paragraph after the table: typing into that
    // paragraph when empty takes its format.
    QTextCharFormat end = afterMark;
    end.setObjectIndex(object);
    end.setObjectType(QTextFormat::TableCellObject);
    m_builder.placeFrameEnd(end, after);
}

}  // namespace engine::rtfin
