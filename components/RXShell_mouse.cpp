#include "components/RXShell.h"

#include "platform/application.h"
#include "platform/cancelmode.h"
#include "platform/popupmenu.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QWidget>

// The mouse over the icon, the popup menu and the default item.

namespace {

TShiftState modifierKeysNow()
{
    const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
    TShiftState shift;
    if (keys & Qt::ShiftModifier)
        shift |= ssShift;
    if (keys & Qt::ControlModifier)
        shift |= ssCtrl;
    if (keys & Qt::AltModifier)
        shift |= ssAlt;
    return shift;
}

}  // namespace

void TRxTrayIcon::WndProc(int MouseMessage)
{
    const QPoint at = QCursor::pos();
    const TShiftState shift = modifierKeysNow();
    platform::runGuarded([&] { Dispatch(MouseMessage, shift, at.x(), at.y()); });
}

void TRxTrayIcon::Dispatch(int MouseMessage, TShiftState Shift, int X, int Y)
{
    switch (MouseMessage) {
    case platform::WM_MOUSEMOVE:
        MouseMove(Shift, X, Y);
        break;
    case platform::WM_LBUTTONDOWN:
        MouseDown(mbLeft, Shift | ssLeft, X, Y);
        FPressed |= ssLeft;
        break;
    case platform::WM_LBUTTONUP:
        ButtonUp(mbLeft, ssLeft, Shift | ssLeft, X, Y);
        break;
    case platform::WM_LBUTTONDBLCLK:
        DblClick();
        MouseDown(mbLeft, Shift | ssDouble, X, Y);
        break;
    case platform::WM_RBUTTONDOWN:
        MouseDown(mbRight, Shift | ssRight, X, Y);
        FPressed |= ssRight;
        break;
    case platform::WM_RBUTTONUP:
        ButtonUp(mbRight, ssRight, Shift | ssRight, X, Y);
        break;
    case platform::WM_RBUTTONDBLCLK:
        MouseDown(mbRight, Shift | ssDouble, X, Y);
        break;
    case platform::WM_MBUTTONDOWN:
        MouseDown(mbMiddle, Shift | ssMiddle, X, Y);
        break;
    case platform::WM_MBUTTONUP:
        MouseUp(mbMiddle, Shift | ssMiddle, X, Y);
        break;
    case platform::WM_MBUTTONDBLCLK:
        MouseDown(mbMiddle, Shift | ssDouble, X, Y);
        break;
    default:
        break;
    }
}

// An up completes a click only when its down was seen on the icon: a button pressed
// elsewhere and released over the icon, or the up after a double click, gives none.
void TRxTrayIcon::ButtonUp(TMouseButton Button, TShiftFlag Flag, TShiftState Shift, int X, int Y)
{
    if (FPressed.testFlag(Flag)) {
        FPressed &= ~TShiftState(Flag);
        Click(Button, Shift, X, Y);
    }
    MouseUp(Button, Shift, X, Y);
}

void TRxTrayIcon::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TRxTrayIcon::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TRxTrayIcon::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TRxTrayIcon::Click(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbRight && ShowPopup(X, Y))
        return;
    if (OnClick)
        OnClick(this, Button, Shift, X, Y);
}

void TRxTrayIcon::DblClick()
{
    if (!RunDefaultItem() && OnDblClick)
        OnDblClick(this);
}

// Clicks the first top-level item, in menu order, that is marked as default and enabled.
bool TRxTrayIcon::RunDefaultItem()
{
    if (!FActive || !FPopupMenu || FPopupMenu->actions().isEmpty())
        return false;
    for (QAction *item : FPopupMenu->actions()) {
        if (FPopupMenu->IsDefault(item) && item->isEnabled()) {
            item->trigger();
            return true;
        }
    }
    return false;
}

// A drop-down list left open in the active window would stay over the menu.
void TRxTrayIcon::CancelModeOfActiveForm()
{
    QWidget *form = QApplication::activeWindow();
    if (form && form->isActiveWindow() && form->focusWidget())
        platform::sendCancelMode(form->focusWidget());
}

// Qt's popup takes the keyboard and the mouse itself, so the menu closes on a click
// elsewhere without the program's window being brought to the foreground first.
bool TRxTrayIcon::ShowPopup(int X, int Y)
{
    if (!FActive || !FPopupMenu || !FPopupMenu->AutoPopup())
        return false;
    FPopupMenu->SetPopupComponent(this);
    if (!FDestroying)
        CancelModeOfActiveForm();
    const QPointer<TRxTrayIcon> alive(this);
    QCoreApplication::processEvents();
    // Pending events may have closed the program's window and everything it owns.
    if (alive && FPopupMenu)
        FPopupMenu->Popup(X, Y);
    return true;
}
