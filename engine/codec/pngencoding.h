#pragma once
#include <QByteArray>
#include <QImage>

namespace engine {

// The image as PNG bytes, or empty when it cannot be encoded (PNG holds at most a
// million rows, and a null image has nothing to encode): every caller must check, since
// a picture kept without bytes would vanish on saving.
QByteArray encodePng(const QImage &image);

}  // namespace engine
