#include "platform/icon.h"

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>

namespace {

constexpr int kMaxSide = 256;
constexpr int kDirectoryHeader = 6;
constexpr int kDirectoryEntry = 16;
constexpr int kBitmapHeader = 40;

void putU16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void putU32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

QImage fitted(const QImage &image)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    if (result.width() > kMaxSide || result.height() > kMaxSide)
        result = result.scaled(kMaxSide, kMaxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return result;
}

// One entry's image: a bitmap header of doubled height (colour rows and mask rows), the
// 32-bit colour rows bottom-up, then the 1-bit mask rows bottom-up, set where the pixel
// is fully transparent.
QByteArray encodeBitmap(const QImage &image)
{
    const int width = image.width();
    const int height = image.height();
    const int maskStride = ((width + 31) / 32) * 4;
    QByteArray out;
    putU32(out, kBitmapHeader);
    putU32(out, quint32(width));
    putU32(out, quint32(height * 2));
    putU16(out, 1);   // planes
    putU16(out, 32);  // bits per pixel
    putU32(out, 0);   // uncompressed
    putU32(out, quint32(width * height * 4 + maskStride * height));
    for (int unused = 0; unused < 4; ++unused)
        putU32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < width; ++x)
            putU32(out, row[x]);  // 0xAARRGGBB little-endian is B, G, R, A
    }
    for (int y = height - 1; y >= 0; --y) {
        QByteArray maskRow(maskStride, '\0');
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (qAlpha(row[x]) == 0)
                maskRow[x / 8] = char(maskRow[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(maskRow);
    }
    return out;
}

}  // namespace

QByteArray encodeIconFile(const QList<QImage> &Images)
{
    QList<QImage> images;
    for (const QImage &image : Images) {
        if (!image.isNull())
            images << fitted(image);
    }
    if (images.isEmpty())
        return {};
    QList<QByteArray> bitmaps;
    for (const QImage &image : images)
        bitmaps << encodeBitmap(image);

    QByteArray out;
    putU16(out, 0);  // reserved
    putU16(out, 1);  // icon, not cursor
    putU16(out, quint16(images.size()));
    quint32 offset = quint32(kDirectoryHeader + kDirectoryEntry * images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const QImage &image = images[i];
        out.append(char(image.width() == kMaxSide ? 0 : image.width()));
        out.append(char(image.height() == kMaxSide ? 0 : image.height()));
        out.append('\0');  // no palette
        out.append('\0');  // reserved
        putU16(out, 1);
        putU16(out, 32);
        putU32(out, quint32(bitmaps[i].size()));
        putU32(out, offset);
        offset += quint32(bitmaps[i].size());
    }
    for (const QByteArray &bitmap : bitmaps)
        out.append(bitmap);
    return out;
}

namespace {

// An icon directory whose entries all lie inside the data. Qt's reader would take any
// image format it recognises, and reads entries wherever the directory points.
bool isIconFile(const QByteArray &Data)
{
    if (Data.size() < kDirectoryHeader || qFromLittleEndian<quint16>(Data.constData()) != 0
        || qFromLittleEndian<quint16>(Data.constData() + 2) != 1)
        return false;
    const qsizetype count = qFromLittleEndian<quint16>(Data.constData() + 4);
    if (count == 0 || Data.size() < kDirectoryHeader + count * kDirectoryEntry)
        return false;
    for (qsizetype i = 0; i < count; ++i) {
        const char *entry = Data.constData() + kDirectoryHeader + i * kDirectoryEntry;
        const quint64 size = qFromLittleEndian<quint32>(entry + 8);
        const quint64 offset = qFromLittleEndian<quint32>(entry + 12);
        if (size == 0 || offset + size > quint64(Data.size()))
            return false;
    }
    return true;
}

}  // namespace

QList<QImage> decodeIconFile(const QByteArray &Data)
{
    if (!isIconFile(Data))
        return {};
    QBuffer buffer;
    buffer.setData(Data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QList<QImage> images;
    const int count = reader.imageCount();
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToNextImage())
            break;
        QImage image = reader.read();
        if (!image.isNull())
            images << image;
    }
    return images;
}

void TIcon::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TIcon::SetImages(const QList<QImage> &Images)
{
    const QByteArray data = encodeIconFile(Images);
    if (data.isEmpty()) {
        Clear();
        return;
    }
    LoadFromData(data);
}

void TIcon::Clear()
{
    FData.clear();
    FIcon = QIcon();
    Changed();
}

void TIcon::Assign(const TPersistent *Source)
{
    if (!Source) {
        Clear();
        return;
    }
    const auto *icon = dynamic_cast<const TIcon *>(Source);
    if (!icon)
        throwAssignError(*Source, *this);
    if (icon == this)
        return;
    FData = icon->FData;
    FIcon = icon->FIcon;
    Changed();
}

void TIcon::LoadFromData(const QByteArray &Data)
{
    const QList<QImage> images = decodeIconFile(Data);
    if (images.isEmpty())
        throw EInvalidGraphic(QStringLiteral("Icon image is not valid"));
    QIcon icon;
    for (const QImage &image : images)
        icon.addPixmap(QPixmap::fromImage(image));
    FData = Data;
    FIcon = icon;
    Changed();
}
