#include "richedit/wwrich.h"

#include "platform/application.h"
#include "richedit/wwriched.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <QToolButton>

// The colour button's menu: 17 colours, each item drawn as a swatch and its name, the
// last, Automatic, in the colour of the editor's font.

namespace {

struct ColorItem {
    const char *caption;
    TColor color;  // 0x00BBGGRR
};

constexpr ColorItem kColors[TwwRichEditForm::kColorItems - 1] = {
    {"Black", 0x000000}, {"Maroon", 0x000080}, {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},  {"Purple", 0x800080}, {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},   {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},  {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00}, {"White", 0xFFFFFF},
};

constexpr int kSwatchWidth = 40;
// The caption starts 46 pixels in; a little room after it keeps its last letter whole.
constexpr int kCaptionEndRoom = 4;

QString withoutMnemonic(const QString &caption)
{
    QString text = caption;
    return text.remove(QLatin1Char('&'));
}

// Measures and draws the colour menu's items: the menu font's text height + 2 high, its
// text width + 49 wide; a swatch outlined and filled with the item's colour, the caption
// after it; a selected item in the highlight colours, the others on the button face.
class ColorMenuStyle : public QProxyStyle {
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (type != CT_MenuItem || !item || item->menuItemType == QStyleOptionMenuItem::Separator)
            return QProxyStyle::sizeFromContents(type, option, size, widget);
        const QFontMetrics metrics(QApplication::font("QMenu"));
        return QSize(metrics.horizontalAdvance(withoutMnemonic(item->text)) + kSwatchWidth + 5 + kCaptionEndRoom,
                     metrics.height() + 2);
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        const auto *menu = qobject_cast<const QMenu *>(widget);
        if (element != CE_MenuItem || !item || !menu) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        const QAction *action = menu->actionAt(option->rect.center());
        const bool selected = option->state & State_Selected;
        const QRect rect = option->rect;
        painter->save();
        painter->fillRect(rect, option->palette.color(selected ? QPalette::Highlight : QPalette::Button));
        const QRect swatch(QPoint(rect.left() + 3, rect.top() + 2), QPoint(rect.left() + 3 + kSwatchWidth, rect.bottom() - 2));
        painter->setPen(option->palette.color(QPalette::WindowText));
        painter->setBrush(ColorToQColor(action ? action->data().toUInt() : clBlack));
        painter->drawRect(swatch);
        painter->setFont(QApplication::font("QMenu"));
        painter->setPen(option->palette.color(selected ? QPalette::HighlightedText : QPalette::WindowText));
        const QRect textRect(QPoint(swatch.right() + 3, rect.top()), rect.bottomRight());
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, withoutMnemonic(item->text));
        painter->restore();
    }
};

}  // namespace

void TwwRichEditForm::BuildColorMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    for (const ColorItem &entry : kColors) {
        QAction *item = PopupMenu1->addAction(QLatin1String(entry.caption));
        item->setObjectName(QLatin1String(entry.caption));
        item->setData(entry.color);
    }
    QAction *automatic = PopupMenu1->addAction(QStringLiteral("Automatic"));
    automatic->setObjectName(QStringLiteral("Automatic"));
    automatic->setData(clWindowText);
}

// The items become drawn by the window, and each sets the selection's colour.
void TwwRichEditForm::PrepareColorMenu()
{
    auto *style = new ColorMenuStyle;
    style->setParent(PopupMenu1);
    PopupMenu1->setStyle(style);
    for (QAction *item : PopupMenu1->actions())
        connect(item, &QAction::triggered, this, [this, item] { platform::runGuarded([&] { ColorItemClick(item); }); });
    PopupMenu1->actions().constLast()->setData(RichEdit1->FontColor());
}

void TwwRichEditForm::ColorItemClick(QAction *item)
{
    RichEdit1->SelectionAttributes().SetColor(item->data().toUInt());
}

// The menu opens with its top-left corner one pixel left of the button's bottom-left.
void TwwRichEditForm::SpeedButton1Click()
{
    const QPoint corner(SpeedButton1->x() - 1, SpeedButton1->y() + SpeedButton1->height());
    PopupMenu1->popup(FormatBar->mapToGlobal(corner));
}
