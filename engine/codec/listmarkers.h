#pragma once
#include <QColor>
#include <QRectF>

class QPainter;
class QTextDocument;

namespace engine {

// Draws the number or bullet of each list paragraph that `clip` (document coordinates;
// an invalid rectangle for all) reaches, as the document's layout placed it: at the
// first line's start indent, in the hanging space before its text, in the font of the
// paragraph's first character (or the bullet's own) and in its colour, `automatic` for
// text of the automatic colour. Qt's layout draws no marker for these lists.
void drawListMarkers(QPainter *painter, const QTextDocument *document, const QRectF &clip, const QColor &automatic);

}  // namespace engine
