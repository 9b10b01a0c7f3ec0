#pragma once
#include <QRect>
#include <QString>

class QPainter;

// Drawing and measuring text in a rectangle the way the platform's DrawText does, with
// its flags, in the painter's font and pen colour.
namespace platform {

enum DrawTextFlag : unsigned {
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_WORDBREAK = 0x10,   // wrap at word breaks to the rectangle's width
    DT_EXPANDTABS = 0x40,  // expand tab characters
    DT_CALCRECT = 0x400,   // measure only: the rectangle grows or shrinks to the text
    DT_NOPREFIX = 0x800,   // "&" is shown as it is instead of marking the next character
};

// Draws `text` into `rect` aligned at its top, or with DT_CALCRECT only measures it: then
// `rect` keeps its top-left corner and takes the text's width (the widest line; with
// DT_WORDBREAK the lines are broken at the rectangle's width first) and height. Without
// DT_NOPREFIX "&" underlines the character after it and "&&" shows one "&". Returns the
// height of the text, 0 for an empty text.
int drawText(QPainter &painter, const QString &text, QRect &rect, unsigned flags);

}  // namespace platform
