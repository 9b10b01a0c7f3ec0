#include "richedit/wwriched_ruler.h"

#include "richedit/wwriched.h"

#include <QPainter>
#include <cmath>

// Drawing the ruler: a white strip in a sunken frame, a number at every whole unit and a
// tick at every subdivision, the middle tick of a unit longer than the others.

void TwwRulerPanel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (!Editor())
        return;
    QPainter painter(this);
    PaintFrame(painter);
    PaintScale(painter);
}

void TwwRulerPanel::PaintFrame(QPainter &painter) const
{
    const int left = RulerLeft(), top = RulerTop(), right = RulerRight(), bottom = RulerBottom();
    painter.fillRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), Qt::white);
    const QPalette &colours = palette();
    painter.setPen(colours.color(QPalette::Dark));
    painter.drawPolyline(QPolygon({QPoint(left - 1, bottom), QPoint(left - 1, top), QPoint(right + 1, top)}));
    painter.setPen(Qt::black);
    painter.drawPolyline(QPolygon({QPoint(left, bottom), QPoint(left, top + 1), QPoint(right + 1, top + 1)}));
    painter.setPen(colours.color(QPalette::Button));
    painter.drawPolyline(QPolygon({QPoint(left - 1, bottom), QPoint(right + 1, bottom), QPoint(right + 1, top)}));
    painter.setPen(colours.color(QPalette::Light));
    painter.drawPolyline(
        QPolygon({QPoint(left - 1, bottom + 1), QPoint(right + 2, bottom + 1), QPoint(right + 2, top)}));
}

void TwwRulerPanel::PaintScale(QPainter &painter) const
{
    const double perUnit = PixelsPerUnit();
    const double length = ScaleLength();
    const int whole = int(std::trunc(length));
    const int steps = Subdivisions();
    const int left = RulerLeft(), top = RulerTop(), bottom = RulerBottom();
    const QFontMetrics metrics(font());
    painter.setFont(font());
    painter.setPen(Qt::black);
    for (int unit = 0; unit <= whole + 1 && unit < length; ++unit) {
        if (unit > 0) {
            const QString number = QString::number(unit);
            const int x = int(std::trunc(unit * perUnit + left - metrics.horizontalAdvance(number) / 2));
            painter.drawText(x, top + 3 + metrics.ascent(), number);
        }
        for (int k = 1; k < steps; ++k) {
            const double at = unit + double(k) / steps;
            if (at >= length)
                break;
            const int x = int(std::trunc(at * perUnit)) + left;
            if (k == steps / 2)
                painter.drawLine(x, top + 7, x, bottom - 5);
            else
                painter.drawLine(x, top + 8, x, bottom - 7);
        }
    }
}
