#include "components/RXCtrls.h"

#include "platform/drawtext.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

// Drawing the shadowed caption.

using namespace platform;

namespace {

QPoint shadowOffset(TShadowPosition position, int size)
{
    switch (position) {
    case spLeftTop: return {-size, -size};
    case spLeftBottom: return {-size, size};
    case spRightBottom: return {size, size};
    case spRightTop: return {size, -size};
    }
    return {};
}

}  // namespace

int DrawShadowText(QPainter &DC, const QString &Str, TShadowPosition ShadowPos, const QColor &ShadowColor,
                   int ShadowSize, unsigned Format, QRect &Rect)
{
    QRect text = Rect;
    QRect shadow = Rect.translated(shadowOffset(ShadowPos, ShadowSize));
    const QPen textPen = DC.pen();
    DC.setPen(ShadowColor);
    const int height = drawText(DC, Str, shadow, Format);
    DC.setPen(textPen);
    drawText(DC, Str, text, Format);
    Rect = text.united(shadow);
    return height > 0 ? height + ShadowSize : height;
}

void TRxLabel::DrawCaption(QPainter &Painter, QRect &Rect, unsigned Flags)
{
    QString text = FCaption;
    // An empty label is measured as one blank, so that it keeps a line's height.
    if ((Flags & DT_CALCRECT) && (text.isEmpty() || (FShowAccelChar && text == QLatin1String("&"))))
        text += QLatin1Char(' ');
    if (!FShowAccelChar)
        Flags |= DT_NOPREFIX;
    Painter.setFont(font());
    QColor shadowColor = FShadowColor;
    TShadowPosition shadowPos = FShadowPos;
    int shadowSize = FShadowSize;
    if (isEnabled()) {
        Painter.setPen(palette().color(QPalette::Active, QPalette::WindowText));
    } else {
        Painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
        shadowColor = palette().color(QPalette::Light);
        if (shadowSize == 0) {
            shadowSize = 1;
            shadowPos = spRightBottom;
        }
    }
    DrawShadowText(Painter, text, shadowPos, shadowColor, shadowSize, Flags, Rect);
}

unsigned TRxLabel::TextFlags() const
{
    static constexpr unsigned alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    return DT_EXPANDTABS | (FWordWrap ? unsigned(DT_WORDBREAK) : 0u) | alignments[FAlignment];
}

void TRxLabel::Paint(QPainter &Painter)
{
    if (!isEnabled())
        FMousePressed = false;
    if (!FTransparent)
        Painter.fillRect(rect(), Color());
    Painter.setBrush(Qt::NoBrush);
    const QRect narrowed = rect().adjusted(1, 0, -1, 0);
    QRect textRect = narrowed;
    const unsigned flags = TextFlags();
    if (FLayout != tlTop) {
        DrawCaption(Painter, textRect, flags | DT_CALCRECT);
        textRect.setLeft(narrowed.left());
        textRect.setRight(narrowed.right());
        int offset = height() - (textRect.y() + textRect.height());
        if (FLayout == tlCenter)
            offset /= 2;
        textRect.translate(0, offset);
    }
    DrawCaption(Painter, textRect, flags);
    if (FShowFocus && FFocusControl && FFocused) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        // Styles that draw focus only after keyboard use are asked to draw it always.
        option.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
        option.rect = textRect.adjusted(-1, -1, 1, 1);
        option.backgroundColor = Color();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &Painter, this);
    }
}

void TRxLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Paint(painter);
}
