#include "engine/codec/rtf/read/picturedecoder.h"

#include "engine/codec/pngencoding.h"

#include "engine/codec/formatmapping.h"
#include "engine/codec/rtf/read/rtfreader.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>
#include <array>

namespace engine::rtfin {

namespace {

constexpr std::array<qint8, 256> makeHexTable()
{
    std::array<qint8, 256> table{};
    for (auto &entry : table)
        entry = -1;
    for (int c = '0'; c <= '9'; ++c)
        table[size_t(c)] = qint8(c - '0');
    for (int c = 'a'; c <= 'f'; ++c)
        table[size_t(c)] = qint8(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c)
        table[size_t(c)] = qint8(c - 'A' + 10);
    return table;
}
constexpr std::array<qint8, 256> kHex = makeHexTable();

constexpr int kMaxDisplayTwips = 1440 * 200;

// Reads an encoded image, refusing dimensions over the pixel limit before decoding.
// detectedFormat receives the format the data really has (lower case).
QImage readImage(const QByteArray &bytes, const char *format, QByteArray *detectedFormat = nullptr)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxRtfPicturePixels)
        return {};
    QImage image = reader.read();
    if (detectedFormat)
        *detectedFormat = reader.format().toLower();
    return image;
}

quint32 readLE32(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

quint16 readLE16(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

// A device-independent bitmap is a BMP file without its 14-byte file header.
QImage readDib(const QByteArray &dib)
{
    if (dib.size() < 40)
        return {};
    const quint32 headerSize = readLE32(dib, 0);
    if (headerSize < 12 || headerSize > quint32(dib.size()))
        return {};
    quint32 bitCount = 0;
    quint32 colorsUsed = 0;
    quint32 masks = 0;
    if (headerSize == 12) {
        bitCount = readLE16(dib, 10);
    } else {
        bitCount = readLE16(dib, 14);
        colorsUsed = readLE32(dib, 32);
        if (headerSize == 40 && readLE32(dib, 16) == 3)  // BI_BITFIELDS
            masks = 12;
    }
    const quint32 entrySize = headerSize == 12 ? 3 : 4;
    quint32 paletteEntries = colorsUsed;
    if (paletteEntries == 0 && bitCount <= 8)
        paletteEntries = 1u << bitCount;
    const quint64 pixelOffset = 14 + quint64(headerSize) + masks + quint64(paletteEntries) * entrySize;
    if (pixelOffset > quint64(dib.size()) + 14)
        return {};

    QByteArray file;
    file.reserve(dib.size() + 14);
    file.append("BM", 2);
    char field[4];
    qToLittleEndian<quint32>(quint32(dib.size() + 14), field);
    file.append(field, 4);
    file.append(4, '\0');
    qToLittleEndian<quint32>(quint32(pixelOffset), field);
    file.append(field, 4);
    file.append(dib);
    return readImage(file, "BMP");
}

// A device-dependent bitmap: rows of widthBytes bytes, top row first.
QImage readDdb(const PictureData &picture)
{
    const int width = picture.width;
    const int height = picture.height;
    const int stride = picture.widthBytes;
    if (width <= 0 || height <= 0 || stride <= 0
        || qint64(width) * height > kMaxRtfPicturePixels
        || qint64(stride) * height > picture.data.size())
        return {};
    QImage::Format format;
    int minimumStride;
    switch (picture.bitsPerPixel) {
    case 1:
        format = QImage::Format_Mono;
        minimumStride = (width + 7) / 8;
        break;
    case 24:
        format = QImage::Format_RGB888;
        minimumStride = width * 3;
        break;
    case 32:
        format = QImage::Format_RGB32;
        minimumStride = width * 4;
        break;
    default:
        return {};
    }
    if (stride < minimumStride)
        return {};
    QImage image(width, height, format);
    if (image.isNull())
        return {};
    if (format == QImage::Format_Mono)
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < height; ++y)
        memcpy(image.scanLine(y), picture.data.constData() + qsizetype(y) * stride, size_t(minimumStride));
    return format == QImage::Format_RGB888 ? image.rgbSwapped() : image;
}

int scaledTwips(int goal, int scale)
{
    const qint64 twips = qint64(goal) * (scale > 0 ? scale : 100) / 100;
    return int(std::clamp<qint64>(twips, 1, kMaxDisplayTwips));
}

QSizeF displaySizeOf(const PictureData &picture, const QImage &image)
{
    const int goalWidth = picture.goalWidth > 0 ? picture.goalWidth : pixelsToTwips(image.width());
    const int goalHeight = picture.goalHeight > 0 ? picture.goalHeight : pixelsToTwips(image.height());
    return QSizeF(twipsToPixels(scaledTwips(goalWidth, picture.scaleX)),
                  twipsToPixels(scaledTwips(goalHeight, picture.scaleY)));
}

}  // namespace

void PictureData::appendHex(QByteArrayView text)
{
    if (oversized)
        return;
    for (const char c : text) {
        const int value = kHex[static_cast<unsigned char>(c)];
        if (value < 0) {
            notHex = notHex || (c != ' ' && c != '\t' && c != '\r' && c != '\n');
            continue;
        }
        if (m_highNibble < 0) {
            m_highNibble = value;
            continue;
        }
        data.append(char(m_highNibble << 4 | value));
        m_highNibble = -1;
    }
    if (data.size() > kMaxRtfPictureBytes) {
        oversized = true;
        data.clear();
    }
}

void PictureData::appendBinary(QByteArrayView bytes)
{
    if (oversized)
        return;
    if (data.size() + bytes.size() > kMaxRtfPictureBytes) {
        oversized = true;
        data.clear();
        return;
    }
    data.append(bytes);
}

std::optional<DecodedPicture> decodePicture(const PictureData &picture)
{
    if (picture.oversized || picture.data.isEmpty())
        return std::nullopt;
    DecodedPicture result;
    QByteArray detected;
    switch (picture.kind) {
    case PictureKind::Png:
        result.image = readImage(picture.data, "PNG", &detected);
        break;
    case PictureKind::Jpeg:
        result.image = readImage(picture.data, "JPEG", &detected);
        break;
    case PictureKind::Unknown:
        result.image = readImage(picture.data, nullptr, &detected);
        break;
    case PictureKind::Dib:
        result.image = readDib(picture.data);
        break;
    case PictureKind::Ddb:
        result.image = readDdb(picture);
        break;
    case PictureKind::Metafile:
        return std::nullopt;
    }
    // PNG and JPEG data is kept as read; anything else is written back as PNG.
    if (detected == "png" || detected == "jpeg" || detected == "jpg") {
        result.originalBytes = picture.data;
        result.originalKind = detected == "png" ? QStringLiteral("png") : QStringLiteral("jpeg");
    }
    if (result.image.isNull())
        return std::nullopt;
    if (result.originalBytes.isEmpty()) {
        // A picture that cannot be encoded (PNG takes at most a million rows) could not
        // be written back: it is dropped as damaged rather than lost on saving.
        result.originalBytes = encodePng(result.image);
        result.originalKind = QStringLiteral("png");
        if (result.originalBytes.isEmpty())
            return std::nullopt;
    }
    result.displaySize = displaySizeOf(picture, result.image);
    return result;
}

DecodedPicture metafilePlaceholder(const PictureData &picture)
{
    QImage frame(64, 64, QImage::Format_RGB32);
    frame.fill(Qt::white);
    QPainter painter(&frame);
    painter.setPen(QPen(QColor(128, 128, 128), 2));
    painter.drawRect(QRectF(1, 1, 62, 62));
    painter.drawLine(QPointF(1, 1), QPointF(63, 63));
    painter.drawLine(QPointF(1, 63), QPointF(63, 1));
    painter.end();
    DecodedPicture result;
    result.image = frame;
    // Without a goal size, a metafile's \picw and \pich are hundredths of a millimetre.
    PictureData sized = picture;
    if (sized.goalWidth <= 0 && picture.width > 0)
        sized.goalWidth = int(std::min<qint64>(qint64(picture.width) * 1440 / 2540, kMaxDisplayTwips));
    if (sized.goalHeight <= 0 && picture.height > 0)
        sized.goalHeight = int(std::min<qint64>(qint64(picture.height) * 1440 / 2540, kMaxDisplayTwips));
    result.displaySize = displaySizeOf(sized, frame);
    return result;
}

}  // namespace engine::rtfin
