#include "components/Wwdbcomb.h"

#include "components/Wwdbcomb_popup.h"
#include "platform/cancelmode.h"

#include <QApplication>
#include <QCollator>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>

#include <algorithm>

namespace {

// Sorted lists order their entries as the user's collation does, ignoring case; entries
// that compare equal keep the order in which they came.
bool sortsBefore(const QString &a, const QString &b)
{
    static const QCollator collator = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator.compare(a, b) < 0;
}

QString shortHint(const QString &hint)
{
    const int bar = hint.indexOf(QLatin1Char('|'));
    return (bar < 0 ? hint : hint.left(bar)).trimmed();
}

QString longHint(const QString &hint)
{
    const int bar = hint.indexOf(QLatin1Char('|'));
    return (bar < 0 ? hint : hint.mid(bar + 1)).trimmed();
}

}  // namespace

TwwDBComboBox::TwwDBComboBox(QWidget *parent)
    : QLineEdit(parent)
{
    FButton = new QToolButton(this);
    FButton->setFocusPolicy(Qt::NoFocus);
    FButton->setAutoRaise(true);
    FButton->setCursor(Qt::ArrowCursor);
    connect(FButton, &QToolButton::pressed, this, &TwwDBComboBox::buttonPressed);
    setButtonStyle(cbsDownArrow);
    applyEditState();
    layoutButton();
}

TwwDBComboBox::~TwwDBComboBox()
{
    if (FDropped)
        qApp->removeEventFilter(this);
}

// ---- Entries ----

void TwwDBComboBox::setItems(const QStringList &items)
{
    FItems = items;
    if (FSorted)
        std::stable_sort(FItems.begin(), FItems.end(), sortsBefore);
    itemsChanged();
}

int TwwDBComboBox::addItem(const QString &item)
{
    qsizetype at = FItems.size();
    if (FSorted)
        at = std::upper_bound(FItems.begin(), FItems.end(), item, sortsBefore) - FItems.begin();
    FItems.insert(at, item);
    itemsChanged();
    return int(at);
}

void TwwDBComboBox::clearItems()
{
    FItems.clear();
    itemsChanged();
}

int TwwDBComboBox::IndexOf(const QString &item, Qt::CaseSensitivity cs) const
{
    for (int i = 0; i < FItems.size(); ++i) {
        if (FItems.at(i).compare(item, cs) == 0)
            return i;
    }
    return -1;
}

QString TwwDBComboBox::shownPart(const QString &entry)
{
    const int tab = entry.indexOf(QLatin1Char('\t'));
    return tab < 0 ? entry : entry.left(tab);
}

QString TwwDBComboBox::storedPart(const QString &entry)
{
    const int tab = entry.indexOf(QLatin1Char('\t'));
    return tab < 0 ? entry : entry.mid(tab + 1);
}

int TwwDBComboBox::indexOfShown(const QString &text) const
{
    for (int i = 0; i < FItems.size(); ++i) {
        if (shownPart(FItems.at(i)).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void TwwDBComboBox::itemsChanged()
{
    if (!FList)
        return;
    if (!FDropped) {
        FListStale = true;
        return;
    }
    const QString selected = FList->selectedText();
    fillList();
    FList->selectRow(selected.isEmpty() ? -1 : FList->rowEqualTo(selected));
}

// ---- Properties ----

void TwwDBComboBox::setStyle(TComboBoxStyle style)
{
    if (style == FStyle)
        return;
    FStyle = style;
    applyEditState();
    layoutButton();
}

void TwwDBComboBox::setSorted(bool sorted)
{
    if (sorted == FSorted)
        return;
    FSorted = sorted;
    if (FSorted) {
        std::stable_sort(FItems.begin(), FItems.end(), sortsBefore);
        itemsChanged();
    }
}

int TwwDBComboBox::ItemIndex() const
{
    if (FList && !FListStale)
        return FList->selectedRow();
    return FItemIndex;
}

void TwwDBComboBox::setItemIndex(int index)
{
    FItemIndex = index;
    if (FList && !FListStale)
        FList->selectRow(index);
    if (index >= 0 && index < FItems.size())
        setText(shownPart(FItems.at(index)));
}

void TwwDBComboBox::setShowButton(bool show)
{
    if (show == FShowButton)
        return;
    FShowButton = show;
    layoutButton();
}

void TwwDBComboBox::setButtonStyle(TwwComboButtonStyle style)
{
    FButtonStyle = style;
    if (style == cbsDownArrow) {
        FButton->setText(QString());
        FButton->setArrowType(Qt::DownArrow);
    } else {
        FButton->setArrowType(Qt::NoArrow);
        FButton->setText(QStringLiteral("..."));
    }
}

void TwwDBComboBox::setReadOnly(bool readOnly)
{
    if (readOnly == FReadOnly)
        return;
    FReadOnly = readOnly;
    applyEditState();
}

void TwwDBComboBox::setShowHint(bool show)
{
    if (show == FShowHint)
        return;
    FShowHint = show;
    applyHint();
}

void TwwDBComboBox::setHint(const QString &hint)
{
    if (hint == FHint)
        return;
    FHint = hint;
    applyHint();
}

void TwwDBComboBox::applyHint()
{
    setToolTip(FShowHint ? shortHint(FHint) : QString());
    setStatusTip(longHint(FHint));
}

QColor TwwDBComboBox::FontColor() const
{
    return palette().color(QPalette::Text);
}

void TwwDBComboBox::setFontColor(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Text, color);
    setPalette(pal);
}

QString TwwDBComboBox::Value() const
{
    if (FMapList) {
        const int i = indexOfShown(text());
        if (i >= 0)
            return storedPart(FItems.at(i));
    }
    return text();
}

bool TwwDBComboBox::textEditable() const
{
    return FStyle == csDropDown || FStyle == csSimple;
}

void TwwDBComboBox::applyEditState()
{
    QLineEdit::setReadOnly(FReadOnly || !textEditable());
    setCursor(textEditable() ? Qt::IBeamCursor : Qt::ArrowCursor);
}

// ---- Button ----

int TwwDBComboBox::buttonWidth() const
{
    return qMax(15, style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
}

// The button fills the client area's right edge; the text margin keeps typed text out
// from under it, ending 2 pixels before it.
void TwwDBComboBox::layoutButton()
{
    const bool visible = FShowButton && FStyle != csSimple;
    FButton->setVisible(visible);
    if (!visible) {
        setTextMargins(0, 0, 0, 0);
        return;
    }
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect client = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    const int width = buttonWidth();
    FButton->setGeometry(client.right() + 1 - width, client.top(), width, client.height());
    setTextMargins(0, 0, width, 0);
}

void TwwDBComboBox::buttonPressed()
{
    if (!hasFocus() && focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
    if (FDropped)
        CloseUp(true);
    else
        DropDown();
}

// ---- Opening and closing ----

void TwwDBComboBox::ensureList()
{
    if (FList)
        return;
    FList = new TwwPopupListbox(this);
    connect(FList, &TwwPopupListbox::releasedOverRows, this, [this] { CloseUp(true); });
}

void TwwDBComboBox::fillList()
{
    QStringList rows;
    rows.reserve(FItems.size());
    for (const QString &entry : std::as_const(FItems))
        rows << shownPart(entry);
    FList->fill(rows);
    FListStale = false;
}

void TwwDBComboBox::DropDown()
{
    if (FDropped || FStyle == csSimple)
        return;
    update();
    ensureList();
    fillList();
    DoDropDown();
    if (FListStale)
        fillList();

    FList->setFont(font());
    FList->setPalette(palette());
    FList->setRowHeight(FItemHeight > 0 ? FItemHeight : 0);
    const int rows = qBound(0, int(FItems.size()), qMax(0, FDropDownCount));
    FList->setGeometry(listGeometry(rows));
    FList->show();
    // Selected once the list shows at its size, so that it scrolls only to a hidden row.
    FList->selectRow(text().isEmpty() ? -1 : FList->rowEqualTo(text()));
    FDropped = true;
    qApp->installEventFilter(this);

    if (!hasFocus() && isVisible() && focusPolicy() != Qt::NoFocus)
        setFocus(Qt::OtherFocusReason);
    if (textEditable())
        selectAll();
    FSavedShowHint = FShowHint;
    setShowHint(false);
}

// Below the edit, overlapping its last pixel row; above it when the list would pass the
// bottom of the screen; right-aligned with the edit when it would reach the right edge.
QRect TwwDBComboBox::listGeometry(int rows) const
{
    const int listHeight = rows * FList->rowHeight() + TwwPopupListbox::kBorderExtent;
    const int listWidth = FDropDownWidth > 0 ? FDropDownWidth : width();
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    const QRect screenRect = screen()->geometry();

    int top = origin.y() + height() - 1;
    if (top + listHeight > screenRect.y() + screenRect.height())
        top = origin.y() - listHeight;
    int left = origin.x();
    if (origin.x() + listWidth >= screenRect.x() + screenRect.width())
        left = origin.x() + width() - listWidth - 1;
    return {left, top, listWidth, listHeight};
}

void TwwDBComboBox::CloseUp(bool Accept)
{
    if (!FDropped)
        return;
    releaseMouseCapture();

    const int row = FList->selectedRow();
    QString newText;
    if (Accept && row >= 0)
        newText = FList->selectedText();
    else if (FStyle == csDropDown)
        newText = text();

    hideList();

    const bool emptiesEdit = FStyle == csDropDownList || FMapList;
    if (Accept && newText != text() && !FReadOnly && (!newText.isEmpty() || emptiesEdit)) {
        setText(newText);
        FItemIndex = row;
        setModified(true);
    }
    update();
    if (textEditable())
        selectAll();

    // Hints come back even when the handler throws.
    struct RestoreHint {
        TwwDBComboBox *box;
        ~RestoreHint() { box->setShowHint(box->FSavedShowHint); }
    } restoreHint{this};
    DoCloseUp(Accept);
}

void TwwDBComboBox::hideList()
{
    FList->hide();
    FDropped = false;
    qApp->removeEventFilter(this);
}

void TwwDBComboBox::DoDropDown()
{
    if (OnDropDown)
        OnDropDown(this);
}

void TwwDBComboBox::DoCloseUp(bool Select)
{
    if (OnCloseUp)
        OnCloseUp(this, Select);
}

bool TwwDBComboBox::ownsWidget(const QWidget *widget) const
{
    return widget == this || isAncestorOf(widget) || widget == FList || FList->isAncestorOf(widget);
}

void TwwDBComboBox::releaseMouseCapture()
{
    QWidget *grabber = QWidget::mouseGrabber();
    if (grabber && ownsWidget(grabber))
        grabber->releaseMouse();
}

// While the list shows, a mouse press anywhere outside this box and its list closes it,
// accepting the selection, before the press goes on to its target.
bool TwwDBComboBox::eventFilter(QObject *watched, QEvent *event)
{
    const bool press = event->type() == QEvent::MouseButtonPress
                       || event->type() == QEvent::MouseButtonDblClick
                       || event->type() == QEvent::NonClientAreaMouseButtonPress;
    if (FDropped && press && watched->isWidgetType() && !ownsWidget(static_cast<QWidget *>(watched)))
        CloseUp(true);
    return QLineEdit::eventFilter(watched, event);
}

// ---- Widget events ----

bool TwwDBComboBox::event(QEvent *event)
{
    // Something else takes the user's attention (a menu of the notification-area icon):
    // the list goes away without a choice.
    if (event->type() == platform::cancelModeEventType()) {
        if (FDropped)
            CloseUp(false);
        return true;
    }
    if (FDropped && event->type() == QEvent::ShortcutOverride
        && claimsKeyWhileDropped(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    if (FDropped && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
            CloseUp(true);  // then the key moves the focus as usual
    }
    return QLineEdit::event(event);
}

void TwwDBComboBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && !textEditable()) {
        if (!hasFocus() && focusPolicy() != Qt::NoFocus)
            setFocus(Qt::MouseFocusReason);
        if (FDropped)
            CloseUp(true);
        else
            DropDown();
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void TwwDBComboBox::focusOutEvent(QFocusEvent *event)
{
    if (FDropped)
        CloseUp(true);
    QLineEdit::focusOutEvent(event);
}

// Hidden while its list shows, before any focus loss closed the list (the box or a parent
// of it hidden by code), the box puts the list away without reporting a choice.
void TwwDBComboBox::hideEvent(QHideEvent *event)
{
    if (FDropped) {
        hideList();
        setShowHint(FSavedShowHint);
    }
    QLineEdit::hideEvent(event);
}

void TwwDBComboBox::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    layoutButton();
}

void TwwDBComboBox::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)
        layoutButton();
}
