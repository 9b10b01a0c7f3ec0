#pragma once
#include "engine/codec/rtf/read/rtftablecollector.h"

class QTextBlockFormat;
class QTextCharFormat;

// Places a collected RTF table into the document as a QTextTable, at its end. The
// table's columns are the edges of all its rows' cells together; a cell spans the
// columns between its edges, merged cells (\clmgf/\clmrg, \clvmgf/\clvmrg) become one
// spanning cell that keeps the text of all of them, and a row that covers fewer columns
// than the table gets empty filler cells. Tables too ragged for kMaxRtfTableColumns
// columns take each row's cells in order instead.
namespace engine::rtfin {

class SourceColorTable;

// `after` and `afterMark` are the formats of the paragraph that follows the table.
void placeTable(DocumentBuilder &builder, CollectedTable &table, const SourceColorTable &colors,
                const QTextBlockFormat &after, const QTextCharFormat &afterMark);

}  // namespace engine::rtfin
