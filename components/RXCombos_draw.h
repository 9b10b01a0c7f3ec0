#pragma once

class QAbstractItemDelegate;
class TColorComboBox;

// The delegate that draws and measures the rows of a colour box's list through the box's
// own DrawItem and ItemHeight. Owned by the box.
QAbstractItemDelegate *newColorItemDelegate(TColorComboBox *box);
