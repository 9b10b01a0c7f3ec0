// Drawing of TColorComboBox: its items (in the list and in the closed box) and the
// delegate through which the list draws them.
#include "components/RXCombos.h"
#include "components/RXCombos_draw.h"

#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kSwatchInset = 2;       // from the item's left, top and bottom
constexpr int kSwatchWidth = 22;      // with names
constexpr int kSwatchRightGap = 3;    // without names, from the item's right
constexpr int kTextLeft = 28;

void drawFocusFrame(QPainter &painter, const QWidget *widget, const QRect &rect, const QColor &background)
{
    QStyleOptionFocusRect focus;
    focus.initFrom(widget);
    focus.rect = rect;
    focus.backgroundColor = background;
    widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, widget);
}

class ColorItemDelegate : public QStyledItemDelegate {
public:
    explicit ColorItemDelegate(TColorComboBox *box) : QStyledItemDelegate(box), m_box(box) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        m_box->DrawItem(*painter, index.row(), option.rect, selected);
        if (option.state & QStyle::State_HasFocus) {
            const QPalette &pal = m_box->palette();
            drawFocusFrame(*painter, m_box, option.rect,
                           pal.color(selected ? QPalette::Highlight : QPalette::Base));
        }
    }

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        int width = kSwatchInset + kSwatchWidth + kSwatchRightGap;
        if (m_box->DisplayNames())
            width = kTextLeft + m_box->fontMetrics().horizontalAdvance(m_box->itemText(index.row())) + 4;
        return {width, m_box->ItemHeight()};
    }

private:
    TColorComboBox *m_box;
};

}  // namespace

QAbstractItemDelegate *newColorItemDelegate(TColorComboBox *box)
{
    return new ColorItemDelegate(box);
}

// The item's background, then a swatch framed in the window-text colour and filled with
// the item's colour, then (with DisplayNames) the name, one line, vertically centred.
void TColorComboBox::DrawItem(QPainter &painter, int index, const QRect &rect, bool selected) const
{
    const QPalette &pal = palette();
    const QColor background = pal.color(selected ? QPalette::Highlight : QPalette::Base);
    const QColor textColor = pal.color(selected ? QPalette::HighlightedText : QPalette::Text);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect, background);

    const int swatchRight = FDisplayNames ? rect.left() + kSwatchInset + kSwatchWidth
                                          : rect.left() + rect.width() - kSwatchRightGap;
    const QRect swatch(rect.left() + kSwatchInset, rect.top() + kSwatchInset,
                       swatchRight - (rect.left() + kSwatchInset), rect.height() - 2 * kSwatchInset);
    painter.setPen(QPen(pal.color(QPalette::WindowText), 0));
    painter.setBrush(background);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));  // a one-pixel frame covering swatch
    painter.fillRect(swatch.adjusted(1, 1, -1, -1), toQColor(itemColor(index)));

    if (FDisplayNames) {
        painter.setFont(font());
        painter.setPen(textColor);
        const QRect textRect(rect.left() + kTextLeft, rect.top(), rect.width() - kTextLeft, rect.height());
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, itemText(index));
    }
    painter.restore();
}

// The closed box: the style's frame and arrow, with the selected item drawn in the edit
// field, highlighted while the box has the focus.
void TColorComboBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0)
        return;
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    const bool focused = hasFocus();
    DrawItem(painter, currentIndex(), field, focused);
    if (focused)
        drawFocusFrame(painter, this, field, palette().color(QPalette::Highlight));
}
