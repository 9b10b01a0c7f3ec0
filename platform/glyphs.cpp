#include "platform/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor kInk(40, 40, 48);
const QColor kPaper(255, 255, 255);
const QColor kBlue(36, 88, 176);
const QColor kLine(70, 70, 80);

void drawPage(QPainter &p, const QRectF &r, bool withLines)
{
    const qreal fold = 3.5;
    QPainterPath page;
    page.moveTo(r.left(), r.top());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.right(), r.bottom());
    page.lineTo(r.left(), r.bottom());
    page.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawPath(page);
    p.drawPolyline(QPolygonF({QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold),
                              QPointF(r.right(), r.top() + fold)}));
    if (withLines) {
        p.setPen(QPen(QColor(120, 140, 180), 1));
        for (qreal y = r.top() + 5; y < r.bottom() - 1; y += 2)
            p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
    }
}

void drawArrow(QPainter &p, bool towardsLeft)
{
    if (!towardsLeft) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    QPainterPath arc;
    arc.moveTo(4.5, 7.5);
    arc.cubicTo(7, 4, 13.5, 4.5, 13.5, 10);
    arc.cubicTo(13.5, 12, 12.5, 13, 11.5, 13.5);
    p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({QPointF(1.5, 4), QPointF(7.5, 9.5), QPointF(1.5, 10.5)}));
}

void drawLetter(QPainter &p, const QString &letter, bool bold, bool italic, bool underline)
{
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(13);
    font.setBold(bold);
    font.setItalic(italic);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRectF(0, -1, 16, 15), Qt::AlignCenter, letter);
    if (underline)
        p.fillRect(QRectF(3, 14, 10, 1.2), kInk);
}

void drawTextLines(QPainter &p, Qt::Alignment alignment)
{
    const qreal widths[] = {12, 8, 12, 6, 10};
    for (int i = 0; i < 5; ++i) {
        const qreal w = widths[i];
        qreal x = 2;
        if (alignment == Qt::AlignHCenter)
            x = 8 - w / 2;
        else if (alignment == Qt::AlignRight)
            x = 14 - w;
        p.fillRect(QRectF(x, 3 + i * 2.5, w, 1.2), kLine);
    }
}

void drawBullets(QPainter &p)
{
    for (int i = 0; i < 3; ++i) {
        const qreal y = 3.5 + i * 4.5;
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(3, y), 1.5, 1.5);
        p.fillRect(QRectF(6.5, y - 0.6, 8, 1.2), kLine);
    }
}

void drawScissors(QPainter &p)
{
    p.setPen(QPen(QColor(90, 90, 100), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5.5, 1.5), QPointF(10, 10.5));
    p.drawLine(QPointF(10.5, 1.5), QPointF(6, 10.5));
    p.setPen(QPen(kBlue, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(4.5, 12.5), 2.5, 2.5);
    p.drawEllipse(QPointF(11.5, 12.5), 2.5, 2.5);
}

void drawPaste(QPainter &p)
{
    p.setPen(QPen(QColor(90, 60, 20), 1));
    p.setBrush(QColor(196, 146, 74));
    p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12.5), 1, 1);
    p.setBrush(QColor(200, 200, 210));
    p.setPen(QPen(kInk, 1));
    p.drawRect(QRectF(4.5, 1, 4, 3));
    drawPage(p, QRectF(7.5, 6.5, 7, 9), true);
}

void drawFolder(QPainter &p)
{
    p.setPen(QPen(QColor(120, 90, 20), 1));
    p.setBrush(QColor(232, 196, 96));
    p.drawPolygon(QPolygonF({QPointF(1.5, 3.5), QPointF(5.5, 3.5), QPointF(7, 5), QPointF(12.5, 5),
                             QPointF(12.5, 13.5), QPointF(1.5, 13.5)}));
    p.setBrush(QColor(248, 220, 130));
    p.drawPolygon(QPolygonF({QPointF(3.5, 7.5), QPointF(15, 7.5), QPointF(12.5, 13.5), QPointF(1.5, 13.5)}));
}

void drawDisk(QPainter &p)
{
    p.setPen(QPen(QColor(20, 40, 90), 1));
    p.setBrush(kBlue);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(kPaper);
    p.drawRect(QRectF(3.5, 1.5, 9, 6));
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    p.fillRect(QRectF(9, 11.5, 1.5, 2.5), kInk);
}

void drawPrinter(QPainter &p)
{
    drawPage(p, QRectF(4.5, 1.5, 7, 6), false);
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(190, 190, 200));
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    p.fillRect(QRectF(12, 8, 1.5, 1.5), QColor(60, 170, 60));
}

void drawMagnifier(QPainter &p)
{
    p.setPen(QPen(QColor(90, 60, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14, 14));
    p.setPen(QPen(kInk, 1.3));
    p.setBrush(QColor(190, 220, 250));
    p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
}

// A letter over four colour blocks: the text colour button.
void drawTextColour(QPainter &p)
{
    drawLetter(p, QStringLiteral("A"), true, false, false);
    const QColor blocks[] = {QColor(220, 30, 30), QColor(30, 160, 40), QColor(30, 70, 210), QColor(240, 200, 20)};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(blocks[i]);
        p.drawRect(QRectF(1 + i * 3.5, 13, 3.5, 3));
    }
}

void draw(QPainter &p, Glyph glyph)
{
    switch (glyph) {
    case Glyph::New: drawPage(p, QRectF(2.5, 0.5, 11, 15), false); break;
    case Glyph::Open: drawFolder(p); break;
    case Glyph::Save: drawDisk(p); break;
    case Glyph::Print: drawPrinter(p); break;
    case Glyph::Find: drawMagnifier(p); break;
    case Glyph::Cut: drawScissors(p); break;
    case Glyph::Copy:
        drawPage(p, QRectF(1.5, 0.5, 8, 10), true);
        drawPage(p, QRectF(6.5, 5.5, 8, 10), true);
        break;
    case Glyph::Paste: drawPaste(p); break;
    case Glyph::Undo: drawArrow(p, true); break;
    case Glyph::Redo: drawArrow(p, false); break;
    case Glyph::Bold: drawLetter(p, QStringLiteral("B"), true, false, false); break;
    case Glyph::Italic: drawLetter(p, QStringLiteral("I"), false, true, false); break;
    case Glyph::Underline: drawLetter(p, QStringLiteral("U"), false, false, true); break;
    case Glyph::AlignLeft: drawTextLines(p, Qt::AlignLeft); break;
    case Glyph::AlignCenter: drawTextLines(p, Qt::AlignHCenter); break;
    case Glyph::AlignRight: drawTextLines(p, Qt::AlignRight); break;
    case Glyph::Bullets: drawBullets(p); break;
    case Glyph::TextColour: drawTextColour(p); break;
    }
}

QPixmap render(Glyph glyph, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 16.0, size / 16.0);
    draw(p, glyph);
    return pixmap;
}

}  // namespace

QIcon glyphIcon(Glyph glyph)
{
    QIcon icon;
    for (int size : {16, 32})
        icon.addPixmap(render(glyph, size));
    return icon;
}
