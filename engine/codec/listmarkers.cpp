#include "engine/codec/listmarkers.h"

#include "engine/codec/formatmapping.h"
#include "engine/codec/listformat.h"
#include "engine/codec/textprops.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>

namespace engine {

namespace {

// Space between a marker wider than its hanging indent and the text, in ems.
constexpr qreal kMinimumGapEms = 0.3;

QTextCharFormat markerFormat(const QTextBlock &block)
{
    const QTextBlock::iterator first = block.begin();
    return first.atEnd() ? block.charFormat() : first.fragment().charFormat();
}

void drawMarker(QPainter *painter, const QTextBlock &block, const QColor &automatic)
{
    const QTextLayout *layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return;
    const QString marker = listMarkerOf(block);
    if (marker.isEmpty())
        return;
    const QTextCharFormat format = markerFormat(block);
    QFont font = format.font();
    const ListLevelStyle style = levelStyleOf(block.textList()->format());
    if (!style.font.isEmpty())
        font.setFamilies({style.font});
    // Laid out as the paragraph's text was, so that it scales with it onto a printer.
    QTextLayout markerLayout(marker, font, block.document()->documentLayout()->paintDevice());
    markerLayout.beginLayout();
    QTextLine markerLine = markerLayout.createLine();
    markerLayout.endLayout();
    const QTextLine line = layout->lineAt(0);
    const QPointF origin = layout->position();
    const qreal textStart = origin.x() + line.cursorToX(line.textStart());
    const qreal hanging = twipsToPixels(block.blockFormat().intProperty(prop::OffsetTwips));
    const qreal width = markerLine.naturalTextWidth();
    const qreal gap = markerLine.height() * kMinimumGapEms;
    const qreal x = textStart - std::max(hanging, width + gap);
    const qreal top = origin.y() + line.y() + line.ascent() - markerLine.ascent();

    const QBrush foreground = format.foreground();
    const bool automaticColor = format.boolProperty(prop::AutoColor) || foreground.style() == Qt::NoBrush;
    painter->save();
    painter->setPen(automaticColor ? automatic : foreground.color());
    markerLayout.draw(painter, QPointF(x, top));
    painter->restore();
}

}  // namespace

void drawListMarkers(QPainter *painter, const QTextDocument *document, const QRectF &clip, const QColor &automatic)
{
    const QAbstractTextDocumentLayout *layout = document->documentLayout();
    QTextBlock block = document->begin();
    if (clip.isValid()) {
        const int position = layout->hitTest(clip.topLeft(), Qt::FuzzyHit);
        block = document->findBlock(std::max(0, position));
        if (block.previous().isValid())
            block = block.previous();  // a marker may reach up into the area
    }
    for (; block.isValid(); block = block.next()) {
        const QRectF bounds = layout->blockBoundingRect(block);
        if (clip.isValid() && bounds.top() > clip.bottom())
            break;
        if (!block.isVisible() || !isEngineList(block.textList()))
            continue;
        if (clip.isValid() && bounds.bottom() < clip.top())
            continue;
        drawMarker(painter, block, automatic);
    }
}

}  // namespace engine
