#include "components/RXCombos.h"

#include "components/RXCombos_draw.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QFontMetrics>

#include <array>

namespace {

struct BasicColor {
    quint32 value;  // 0x00BBGGRR
    const char *identifier;
};

constexpr std::array<BasicColor, TColorComboBox::kColorCount> kBasicColors = {{
    {0x000000, "clBlack"},
    {0x000080, "clMaroon"},
    {0x008000, "clGreen"},
    {0x008080, "clOlive"},
    {0x800000, "clNavy"},
    {0x800080, "clPurple"},
    {0x808000, "clTeal"},
    {0x808080, "clGray"},
    {0xC0C0C0, "clSilver"},
    {0x0000FF, "clRed"},
    {0x00FF00, "clLime"},
    {0x00FFFF, "clYellow"},
    {0xFF0000, "clBlue"},
    {0xFF00FF, "clFuchsia"},
    {0xFFFF00, "clAqua"},
    {0xFFFFFF, "clWhite"},
}};

constexpr int kMinItemHeight = 9;

}  // namespace

quint32 TColorComboBox::basicColor(int index)
{
    return kBasicColors.at(index).value;
}

QString TColorComboBox::defaultColorName(int index)
{
    return QString::fromLatin1(kBasicColors.at(index).identifier).mid(2);
}

QColor TColorComboBox::toQColor(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

TColorComboBox::TColorComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(false);
    setItemDelegate(newColorItemDelegate(this));
    // The user's picks (mouse, keyboard, wheel) arrive as activations.
    connect(this, &QComboBox::activated, this, [this] { Click(); });
    updateItemHeight();
    PopulateList();
    selectStoredValueSilently();
}

TColorComboBox::~TColorComboBox() = default;

quint32 TColorComboBox::itemColor(int index) const
{
    return itemData(index).toUInt();
}

// Only one of the sixteen colours is taken; anything else leaves value, selection and
// OnChange alone. Writing the value already selected does nothing.
void TColorComboBox::setColorValue(quint32 value)
{
    if (currentIndex() >= 0 && value == FColorValue)
        return;
    for (int i = 0; i < count(); ++i) {
        if (itemColor(i) != value)
            continue;
        FColorValue = value;
        if (currentIndex() != i)
            setCurrentIndex(i);
        Change();
        return;
    }
}

void TColorComboBox::setColorNames(const QStringList &names)
{
    if (names == FColorNames)
        return;
    FColorNames = names;
    if (FWindowCreated) {
        createWindow();
    } else {
        PopulateList();
        selectStoredValueSilently();
    }
}

void TColorComboBox::setDisplayNames(bool display)
{
    if (display == FDisplayNames)
        return;
    FDisplayNames = display;
    update();
    view()->viewport()->update();
}

void TColorComboBox::PopulateList()
{
    clear();
    for (int i = 0; i < kColorCount; ++i) {
        const bool named = i < FColorNames.size() && !FColorNames.at(i).isEmpty();
        addItem(named ? FColorNames.at(i) : defaultColorName(i), QVariant::fromValue(uint(basicColor(i))));
    }
    setCurrentIndex(-1);  // a freshly filled list has no selection
}

void TColorComboBox::Click()
{
    if (currentIndex() >= 0)
        setColorValue(itemColor(currentIndex()));
    if (OnClick)
        OnClick(this);
}

void TColorComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

// The list is rebuilt and the stored colour selected again, which fires OnChange.
void TColorComboBox::createWindow()
{
    PopulateList();
    setColorValue(FColorValue);
}

void TColorComboBox::selectStoredValueSilently()
{
    for (int i = 0; i < count(); ++i) {
        if (itemColor(i) == FColorValue) {
            setCurrentIndex(i);
            return;
        }
    }
}

void TColorComboBox::updateItemHeight()
{
    FItemHeight = qMax(kMinItemHeight, QFontMetrics(font()).height() + 1);
}

void TColorComboBox::showEvent(QShowEvent *event)
{
    QComboBox::showEvent(event);
    if (!FWindowCreated) {
        FWindowCreated = true;
        createWindow();
    }
}

void TColorComboBox::changeEvent(QEvent *event)
{
    QComboBox::changeEvent(event);
    if (event->type() != QEvent::FontChange)
        return;
    updateItemHeight();
    if (FWindowCreated)
        createWindow();
    else
        view()->doItemsLayout();
}
