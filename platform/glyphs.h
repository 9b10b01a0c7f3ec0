#pragma once
#include <QIcon>

// The small pictures of the toolbar and format-bar buttons, drawn with QPainter in a
// 16 by 16 grid so that they stay crisp at any scale.
enum class Glyph {
    New, Open, Save, Print, Find, Cut, Copy, Paste, Undo, Redo,
    Bold, Italic, Underline, AlignLeft, AlignCenter, AlignRight, Bullets, TextColour,
};

QIcon glyphIcon(Glyph glyph);
