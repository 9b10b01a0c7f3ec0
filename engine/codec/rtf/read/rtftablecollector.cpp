#include "engine/codec/rtf/read/rtftablecollector.h"

namespace engine::rtfin {

bool TableCollector::accepts(int level) const
{
    if (level < 1 || level > kMaxRtfTableDepth || m_cells >= kMaxRtfTableCells)
        return false;
    // A table that is full takes no new row.
    if (int(m_open.size()) >= level) {
        const CollectedTable &table = *m_open[size_t(level - 1)];
        if (int(table.rows.size()) >= kMaxRtfTableRows && table.rows.back().ended)
            return false;
    }
    return true;
}

// Tables deeper than `level` have ended; tables down to `level` begin where missing.
void TableCollector::openTo(int level)
{
    while (int(m_open.size()) > level)
        m_open.pop_back();
    if (!m_top) {
        m_top = std::make_unique<CollectedTable>();
        m_open.push_back(m_top.get());
    }
    while (int(m_open.size()) < level) {
        CellItem item;
        item.table = std::make_unique<CollectedTable>();
        CollectedTable *nested = item.table.get();
        currentCell(*m_open.back()).items.push_back(std::move(item));
        m_open.push_back(nested);
    }
}

CollectedRow &TableCollector::currentRow(CollectedTable &table)
{
    if (table.rows.empty() || table.rows.back().ended) {
        // Until its row mark names its own, a row has the definition of the row before.
        CollectedRow row;
        if (!table.rows.empty())
            row.definition = table.rows.back().definition;
        table.rows.push_back(std::move(row));
    }
    return table.rows.back();
}

// Cells past the most a row keeps share its last cell.
CollectedCell &TableCollector::currentCell(CollectedTable &table)
{
    CollectedRow &row = currentRow(table);
    if (!row.cellOpen && (row.cells.empty() || int(row.cells.size()) < kMaxRtfTableColumns)) {
        row.cells.emplace_back();
        ++m_cells;
    }
    row.cellOpen = true;
    return row.cells.back();
}

void TableCollector::addParagraph(int level, DocumentBuilder::Paragraph &&paragraph)
{
    openTo(level);
    CellItem item;
    item.paragraph = std::move(paragraph);
    currentCell(*m_open.back()).items.push_back(std::move(item));
}

void TableCollector::endCell(int level)
{
    openTo(level);
    currentCell(*m_open.back());
    m_open.back()->rows.back().cellOpen = false;
}

void TableCollector::endRow(int level, const RowDefinition &definition)
{
    openTo(level);
    CollectedTable &table = *m_open.back();
    if (table.rows.empty() || table.rows.back().ended)
        return;  // a row mark with no cells before it
    CollectedRow &row = table.rows.back();
    row.definition = definition;
    row.cellOpen = false;
    row.ended = true;
}

std::unique_ptr<CollectedTable> TableCollector::take(const RowDefinition &definition)
{
    if (m_top && !m_top->rows.empty() && !m_top->rows.back().ended)
        m_top->rows.back().definition = definition;
    m_open.clear();
    return std::move(m_top);
}

}  // namespace engine::rtfin
