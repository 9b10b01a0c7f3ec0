#pragma once

class QTextDocument;

// Whether `document` holds anything a plain-text file cannot keep: character formats
// other than the document's default font (faces, sizes, styles, colours, highlights,
// raised or hidden text, links), paragraph formats (alignment, indents, spacing, tab
// stops, bullets, lists), tables, pictures and objects.
bool documentHoldsMoreThanText(const QTextDocument &document);
