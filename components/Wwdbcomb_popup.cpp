#include "components/Wwdbcomb_popup.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

// Gives every row the list's fixed height, so that n rows fill exactly n * height pixels.
class FixedRowDelegate : public QStyledItemDelegate {
public:
    explicit FixedRowDelegate(TwwPopupListbox *list) : QStyledItemDelegate(list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_list->rowHeight()};
    }

private:
    const TwwPopupListbox *m_list;
};

}  // namespace

TwwPopupListbox::TwwPopupListbox(QWidget *owner)
    : QListWidget(owner)
{
    // A tool-tip type window is placed exactly where asked, floats above the main window,
    // may extend beyond it, and is never activated by showing or clicking it.
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    verticalScrollBar()->setFocusPolicy(Qt::NoFocus);

    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setViewportMargins(1, 1, 1, 1);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);

    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setUniformItemSizes(true);
    setSpacing(0);
    setTextElideMode(Qt::ElideRight);
    setItemDelegate(new FixedRowDelegate(this));
    hide();
}

void TwwPopupListbox::fill(const QStringList &rows)
{
    clear();
    addItems(rows);
}

QStringList TwwPopupListbox::rows() const
{
    QStringList result;
    result.reserve(count());
    for (int row = 0; row < count(); ++row)
        result << item(row)->text();
    return result;
}

void TwwPopupListbox::setRowHeight(int pixels)
{
    m_rowHeight = qMax(0, pixels);
    doItemsLayout();
}

int TwwPopupListbox::rowHeight() const
{
    return m_rowHeight > 0 ? m_rowHeight : fontMetrics().height();
}

int TwwPopupListbox::selectedRow() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TwwPopupListbox::selectRow(int row)
{
    if (row < 0 || row >= count()) {
        selectionModel()->clear();
        return;
    }
    setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item(row), QAbstractItemView::EnsureVisible);
}

QString TwwPopupListbox::selectedText() const
{
    const int row = selectedRow();
    return row < 0 ? QString() : item(row)->text();
}

void TwwPopupListbox::moveSelection(int delta)
{
    if (count() == 0)
        return;
    const int current = selectedRow();
    const int target = current < 0 ? 0 : current + delta;
    selectRow(qBound(0, target, count() - 1));
}

void TwwPopupListbox::movePage(int direction)
{
    moveSelection(direction * qMax(1, rowsPerPage() - 1));
}

int TwwPopupListbox::rowEqualTo(const QString &text) const
{
    for (int row = 0; row < count(); ++row) {
        if (item(row)->text().compare(text, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

int TwwPopupListbox::rowStartingWith(const QString &prefix) const
{
    for (int row = 0; row < count(); ++row) {
        if (item(row)->text().startsWith(prefix, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

void TwwPopupListbox::mouseReleaseEvent(QMouseEvent *event)
{
    QListWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && viewport()->rect().contains(event->position().toPoint()))
        emit releasedOverRows();
}

int TwwPopupListbox::rowsPerPage() const
{
    return viewport()->height() / qMax(1, rowHeight());
}
