#include "app/programicon.h"

#include <QPixmap>

// The pictures are compiled into this static library; registering them here makes sure
// the linker keeps them. (Outside any namespace, as Qt's resource registration requires.)
static void loadResources()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(wordprocessor);
        return true;
    }();
    Q_UNUSED(loaded);
}

namespace {

const QList<int> kDrawnSizes = {16, 22, 24, 32, 48, 60, 64, 128, 256};

QImage drawnImage(int size)
{
    loadResources();
    if (kDrawnSizes.contains(size))
        return QImage(QStringLiteral(":/icons/wordprocessor-%1.png").arg(size));
    return QImage(QStringLiteral(":/icons/wordprocessor-256.png"))
        .scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

QIcon programIcon()
{
    QIcon icon;
    for (int size : kDrawnSizes)
        icon.addPixmap(QPixmap::fromImage(drawnImage(size)));
    return icon;
}

QList<QImage> programIconImages(const QList<int> &sizes)
{
    QList<QImage> images;
    for (int size : sizes)
        images << drawnImage(size);
    return images;
}
