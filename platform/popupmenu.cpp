#include "platform/popupmenu.h"

#include <QAction>
#include <QFont>

TPopupMenu::TPopupMenu(QWidget *parent)
    : QMenu(parent)
{
}

bool TPopupMenu::IsDefault(const QAction *Item) const
{
    return Item && FDefaults.contains(Item);
}

void TPopupMenu::SetDefault(QAction *Item, bool Value)
{
    if (!Item || IsDefault(Item) == Value)
        return;
    if (Value)
        FDefaults << Item;
    else
        FDefaults.removeAll(Item);
    QFont font = Item->font();
    font.setBold(Value);
    Item->setFont(font);
}

void TPopupMenu::Popup(int X, int Y)
{
    QPoint at(X, Y);
    const int width = sizeHint().width();
    if (FAlignment == paRight)
        at.rx() -= width;
    else if (FAlignment == paCenter)
        at.rx() -= width / 2;
    popup(at);
}
