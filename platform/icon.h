#pragma once
#include "platform/exceptions.h"
#include "platform/persistent.h"

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QList>
#include <functional>

// A picture in the standard icon-file format: one or more images of different sizes, as
// the notification area and window captions show them.
//
// The icon keeps the file's bytes as it read them, so that saving writes back exactly
// what was loaded; an icon made from images is encoded once, when the images are set
// (uncompressed 32-bit images with a transparency mask, at most 256 pixels a side).
// Every change reports through OnChange.
//
// Loading bytes that are not an icon file throws EInvalidGraphic "Icon image is not
// valid" and leaves the icon as it was.
class TIcon : public TPersistent {
public:
    TIcon() = default;
    TIcon(const TIcon &) = delete;
    TIcon &operator=(const TIcon &) = delete;

    QString ClassName() const override { return QStringLiteral("TIcon"); }

    bool Empty() const { return FData.isEmpty(); }
    // The icon as Qt shows it; null while empty.
    QIcon Handle() const { return FIcon; }
    // Images larger than 256 pixels a side are scaled down to fit.
    void SetImages(const QList<QImage> &Images);
    void Clear();

    // nullptr clears; another TIcon is copied; anything else is refused.
    void Assign(const TPersistent *Source);

    void LoadFromData(const QByteArray &Data);
    QByteArray SaveToData() const { return FData; }  // empty for an empty icon

    std::function<void(TIcon *Sender)> OnChange;

private:
    void Changed();

    QByteArray FData;
    QIcon FIcon;
};

// A graphic whose data could not be read.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// Encodes images as an icon file, and decodes one. Decoding returns the images of every
// entry Qt's icon reader can read, none for data that is not an icon file.
QByteArray encodeIconFile(const QList<QImage> &Images);
QList<QImage> decodeIconFile(const QByteArray &Data);
