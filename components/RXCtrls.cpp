#include "components/RXCtrls.h"

#include "platform/drawtext.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QShortcutEvent>

using namespace platform;

TRxLabel::TRxLabel(QWidget *parent)
    : QWidget(parent)
    , FShadowColor(palette().color(QPalette::Light))
{
    resize(65, 17);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { FocusChanged(now); });
}

void TRxLabel::SetCaption(const QString &Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    GrabAccelerator();
    Repaint();
    FitToCaption();
}

void TRxLabel::SetAlignment(TAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Repaint();
}

void TRxLabel::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    FitToCaption();
}

void TRxLabel::SetLayout(TTextLayout Value)
{
    if (Value == FLayout)
        return;
    FLayout = Value;
    Repaint();
}

void TRxLabel::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    FitToCaption();
}

void TRxLabel::SetShadowColor(const QColor &Value)
{
    if (Value == FShadowColor)
        return;
    FShadowColor = Value;
    Repaint();
}

void TRxLabel::SetShadowSize(quint8 Value)
{
    FShadowSize = Value;
    FitToCaption();
    Repaint();
}

void TRxLabel::SetShadowPos(TShadowPosition Value)
{
    if (Value == FShadowPos)
        return;
    FShadowPos = Value;
    Repaint();
}

void TRxLabel::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    Repaint();
}

void TRxLabel::SetShowAccelChar(bool Value)
{
    if (Value == FShowAccelChar)
        return;
    FShowAccelChar = Value;
    GrabAccelerator();
    Repaint();
}

void TRxLabel::SetFocusControl(QWidget *Value)
{
    FFocusControl = Value;
    FFocused = Value && Value == QApplication::focusWidget();
    GrabAccelerator();
    if (FShowFocus)
        Repaint();
}

void TRxLabel::SetShowFocus(bool Value)
{
    if (Value == FShowFocus)
        return;
    FShowFocus = Value;
    Repaint();
}

QColor TRxLabel::Color() const
{
    return palette().color(backgroundRole());
}

void TRxLabel::SetColor(const QColor &Value)
{
    QPalette colours = palette();
    colours.setColor(backgroundRole(), Value);
    setPalette(colours);
    Repaint();
}

void TRxLabel::FitToCaption()
{
    if (!FAutoSize)
        return;
    QRect measured = rect().adjusted(1, 0, -1, 0);
    QPixmap screen(1, 1);
    QPainter painter(&screen);
    DrawCaption(painter, measured, DT_CALCRECT | DT_EXPANDTABS | (FWordWrap ? unsigned(DT_WORDBREAK) : 0u));
    measured.adjust(-1, 0, 1, 0);
    const int right = measured.x() + measured.width();
    const int bottom = measured.y() + measured.height();
    int left = x();
    if (FAlignment == taRightJustify)
        left += width() - right;
    setGeometry(left, y(), right, bottom);
}

// The accelerator is the character after a single "&" of the caption.
void TRxLabel::GrabAccelerator()
{
    if (FAcceleratorId) {
        releaseShortcut(FAcceleratorId);
        FAcceleratorId = 0;
    }
    const QKeySequence key = QKeySequence::mnemonic(FCaption);
    if (FFocusControl && FShowAccelChar && !key.isEmpty())
        FAcceleratorId = grabShortcut(key);
}

bool TRxLabel::Accelerate()
{
    if (!FFocusControl || !isEnabled() || !FShowAccelChar)
        return false;
    if (!FFocusControl->isEnabled() || !FFocusControl->isVisible() || FFocusControl->focusPolicy() == Qt::NoFocus)
        return false;
    FFocusControl->setFocus(Qt::ShortcutFocusReason);
    return true;
}

void TRxLabel::FocusChanged(QWidget *now)
{
    const bool focused = FFocusControl && FFocusControl == now;
    if (focused == FFocused)
        return;
    FFocused = focused;
    if (FShowFocus)
        Repaint();
}

bool TRxLabel::event(QEvent *event)
{
    if (event->type() == QEvent::Shortcut
        && static_cast<QShortcutEvent *>(event)->shortcutId() == FAcceleratorId)
        return Accelerate();
    return QWidget::event(event);
}

void TRxLabel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        FitToCaption();
    else if (event->type() == QEvent::EnabledChange) {
        Repaint();
        UpdateMouseInside();
    }
}

bool TRxLabel::ApplicationActive() const
{
    return QApplication::activeWindow() != nullptr;
}

void TRxLabel::DoMouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TRxLabel::DoMouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TRxLabel::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    if (!FMouseInside && isEnabled() && ApplicationActive()) {
        FMouseInside = true;
        DoMouseEnter();
    }
}

void TRxLabel::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    // Leaving with the left button held is not a leave yet: the release decides.
    if (FMouseInside && isEnabled() && !FMousePressed) {
        FMouseInside = false;
        DoMouseLeave();
    }
}

void TRxLabel::UpdateMouseInside()
{
    const bool inside = isEnabled() && QApplication::widgetAt(QCursor::pos()) == this && ApplicationActive();
    if (inside == FMouseInside)
        return;
    FMouseInside = inside;
    if (inside)
        DoMouseEnter();
    else
        DoMouseLeave();
}

void TRxLabel::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && isEnabled())
        FMousePressed = true;
    else if (event->button() == Qt::RightButton)
        UpdateMouseInside();
}

void TRxLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        FMousePressed = false;
        UpdateMouseInside();
    } else if (event->button() == Qt::RightButton) {
        UpdateMouseInside();
    }
}

void TRxLabel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    UpdateMouseInside();
}
