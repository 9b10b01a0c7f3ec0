#pragma once
#include <QIcon>
#include <QImage>
#include <QList>

// The program's own picture: a page of text with a pen. The same drawing is the window
// icon, the notification-area icon, the about box's picture and the desktop entry's icon
// (app/icons/wordprocessor.svg, drawn out at 16, 22, 24, 32, 48, 60, 64, 128 and 256
// pixels).

// Every size, for window captions and task switchers.
QIcon programIcon();
// The images of the given sizes, in that order; sizes that are not drawn out are scaled
// from the largest.
QList<QImage> programIconImages(const QList<int> &sizes);
