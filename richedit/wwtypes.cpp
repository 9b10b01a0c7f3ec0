#include "richedit/wwtypes.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

QPalette::ColorRole paletteRoleOf(TColor color)
{
    switch (color & 0xFF) {
    case 5: return QPalette::Base;              // window background
    case 8: return QPalette::Text;              // window text
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: return QPalette::Button;           // button face
    case 17: return QPalette::PlaceholderText;  // grey text
    case 18: return QPalette::ButtonText;
    case 23: return QPalette::ToolTipText;
    case 24: return QPalette::ToolTipBase;
    default: return QPalette::WindowText;
    }
}

TColor rgbOf(const QColor &color)
{
    return TColor(color.red()) | (TColor(color.green()) << 8) | (TColor(color.blue()) << 16);
}

}  // namespace

TColor ColorToRGB(TColor color)
{
    if (!IsSystemColor(color))
        return color & 0x00FFFFFF;
    const QPalette palette = qobject_cast<QGuiApplication *>(QCoreApplication::instance())
                                 ? QGuiApplication::palette()
                                 : QPalette();
    return rgbOf(palette.color(QPalette::Active, paletteRoleOf(color)));
}

QColor ColorToQColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

TColor QColorToColor(const QColor &color)
{
    return color.isValid() ? rgbOf(color) : clWindowText;
}
