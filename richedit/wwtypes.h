#pragma once
#include <QColor>
#include <QFlags>
#include <QtGlobal>

// Small value types shared by the editor control and the text table: font style sets,
// colours in the platform's 0x00BBGGRR order with system-colour markers, character sets.

enum TFontStyle : quint8 { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFontStyles)

// A colour: 0x00BBGGRR, or a system colour marker (high bit set, low byte the index).
using TColor = quint32;

constexpr TColor clSystemColor = 0x80000000u;
constexpr TColor clWindowText = clSystemColor | 8;  // the automatic text colour
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;

constexpr bool IsSystemColor(TColor color) { return (color & clSystemColor) != 0; }

// The RGB value of a colour; system colours are resolved through the application palette.
TColor ColorToRGB(TColor color);
QColor ColorToQColor(TColor color);
TColor QColorToColor(const QColor &color);  // an invalid colour gives clWindowText

// Character set codes as the RTF \fcharset values.
constexpr quint8 ANSI_CHARSET = 0;
constexpr quint8 DEFAULT_CHARSET = 1;
