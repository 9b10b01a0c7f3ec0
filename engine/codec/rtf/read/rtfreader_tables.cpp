#include "engine/codec/rtf/read/rtfreaderimpl.h"

namespace engine::rtfin {

int Reader::tableLevelOf(const ParaState &state)
{
    if (state.tableLevel > 0)
        return state.tableLevel;
    return state.inTable ? 1 : 0;
}

// A cell mark ends the paragraph before it, which belongs to the cell even when it was
// not marked as in a table. Past the table limits the cells of a row are read as text,
// separated by tabs, as readers without tables show them.
void Reader::endTableCell(int level)
{
    noteFieldShown();
    if (level > kMaxRtfTableDepth || !m_tables.accepts(level)) {
        if (m_pendingCellTabs < 1024)
            ++m_pendingCellTabs;
        return;
    }
    finishParagraph(level);
    m_tables.endCell(level);
}

void Reader::endTableRow(int level, const RowDefinition &definition)
{
    noteFieldShown();
    if (level > kMaxRtfTableDepth || !m_tables.accepts(level)) {
        finishParagraph(std::min(level - 1, kMaxRtfTableDepth));
        return;
    }
    // Text after the row's last cell mark is one more cell.
    if (m_builder.paragraphHasContent()) {
        finishParagraph(level);
        m_tables.endCell(level);
    }
    m_tables.endRow(level, definition);
}

void Reader::placeOpenTable(const QTextBlockFormat &after, const QTextCharFormat &afterMark)
{
    if (const std::unique_ptr<CollectedTable> table = m_tables.take(m_rowDefinition))
        m_placer.place(*table, after, afterMark);
}

// Row definitions inside \nesttableprops describe the nested row their \nestrow ends;
// the others describe the rows of the outermost table.
void Reader::handleTableWord(RtfWord word, const RtfToken &token)
{
    if (current().destination != Destination::Body)
        return;
    const bool nested = current().inNestedTableProps;
    if (m_rowWords.handle(nested ? m_nestedRowDefinition : m_rowDefinition, word, token.hasParameter ? token.parameter : 0))
        return;
    const int level = tableLevelOf(paragraphState());
    switch (word) {
    case RtfWord::cell:
        endTableCell(1);
        break;
    case RtfWord::nestcell:
        endTableCell(std::max(2, level));
        break;
    case RtfWord::row:
        endTableRow(1, m_rowDefinition);
        break;
    case RtfWord::nestrow:
        endTableRow(std::max(2, level), m_nestedRowDefinition);
        break;
    case RtfWord::sect:
        finishParagraph();
        break;
    default:
        break;
    }
}

}  // namespace engine::rtfin
