#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <optional>

// Pictures of an RTF file: the \pict data as it is read, and its decoding into an image
// with the size it is shown at.
namespace engine::rtfin {

enum class PictureKind : quint8 { Unknown, Png, Jpeg, Dib, Ddb, Metafile };

struct PictureData {
    PictureKind kind = PictureKind::Unknown;
    int width = 0;         // \picw
    int height = 0;        // \pich
    int goalWidth = 0;     // \picwgoal, twips
    int goalHeight = 0;    // \pichgoal, twips
    int scaleX = 100;      // \picscalex, percent
    int scaleY = 100;      // \picscaley, percent
    int bitsPerPixel = 1;  // \wbmbitspixel
    int widthBytes = 0;    // \wbmwidthbytes
    QByteArray data;
    bool oversized = false;  // more data than a picture may have: dropped
    bool notHex = false;     // its hexadecimal data holds other characters: dropped

    void appendHex(QByteArrayView text);
    void appendBinary(QByteArrayView bytes);

private:
    int m_highNibble = -1;
};

struct DecodedPicture {
    QImage image;
    QByteArray originalBytes;  // PNG or JPEG, for writing back
    QString originalKind;      // "png" or "jpeg"
    QSizeF displaySize;        // pixels at 96 dpi
};

// The picture, or nothing when its data is damaged, too large, or a kind that cannot be
// shown (metafiles).
std::optional<DecodedPicture> decodePicture(const PictureData &picture);

// A framed box of the picture's display size, for pictures that cannot be shown.
DecodedPicture metafilePlaceholder(const PictureData &picture);

}  // namespace engine::rtfin
