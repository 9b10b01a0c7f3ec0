#include "engine/codec/rtf/write/pictureencoder.h"

#include "engine/codec/pngencoding.h"

#include "engine/codec/formatmapping.h"
#include "engine/codec/rtf/write/rtfoutput.h"
#include "engine/codec/textprops.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace engine {
namespace {

struct Picture {
    QByteArray bytes;
    bool jpeg = false;
    QSize pixels;
};

QImage resourceImage(const QTextDocument *document, const QString &name)
{
    const QVariant resource = document->resource(QTextDocument::ImageResource, QUrl(name));
    if (resource.metaType() == QMetaType::fromType<QImage>())
        return resource.value<QImage>();
    if (resource.metaType() == QMetaType::fromType<QPixmap>())
        return resource.value<QPixmap>().toImage();
    if (resource.metaType() == QMetaType::fromType<QByteArray>())
        return QImage::fromData(resource.toByteArray());
    return {};
}

Picture originalPicture(const QTextImageFormat &format)
{
    Picture picture;
    const QString kind = format.stringProperty(prop::ImageOriginalKind);
    if (kind != QLatin1String("png") && kind != QLatin1String("jpeg"))
        return picture;
    picture.bytes = format.property(prop::ImageOriginalBytes).toByteArray();
    picture.jpeg = kind == QLatin1String("jpeg");
    QBuffer buffer(&picture.bytes);
    buffer.open(QIODevice::ReadOnly);
    picture.pixels = QImageReader(&buffer).size();
    if (!picture.pixels.isValid())
        picture.bytes.clear();
    return picture;
}

Picture encodedPicture(const QTextDocument *document, const QTextImageFormat &format)
{
    Picture picture;
    const QImage image = resourceImage(document, format.name());
    if (image.isNull())
        return picture;
    picture.bytes = encodePng(image);
    if (picture.bytes.isEmpty())
        return {};
    picture.pixels = image.size();
    return picture;
}

// Shown size in twips: the format's width and height when set (one of them alone keeps
// the aspect ratio), the natural size at 96 dpi otherwise.
QSize goalTwips(const QTextImageFormat &format, QSize pixels)
{
    qreal width = format.width();
    qreal height = format.height();
    if (width <= 0 && height <= 0) {
        width = pixels.width();
        height = pixels.height();
    } else if (width <= 0) {
        width = height * pixels.width() / qMax(1, pixels.height());
    } else if (height <= 0) {
        height = width * pixels.height() / qMax(1, pixels.width());
    }
    return QSize(pixelsToTwips(width), pixelsToTwips(height));
}

}  // namespace

bool writeRtfPicture(RtfOutput &out, const QTextDocument *document, const QTextImageFormat &format)
{
    Picture picture = originalPicture(format);
    if (picture.bytes.isEmpty())
        picture = encodedPicture(document, format);
    if (picture.bytes.isEmpty())
        return false;
    const QSize goal = goalTwips(format, picture.pixels);
    out.open();
    out.word("pict");
    out.word(picture.jpeg ? "jpegblip" : "pngblip");
    out.word("picw", picture.pixels.width());
    out.word("pich", picture.pixels.height());
    out.word("picwgoal", goal.width());
    out.word("pichgoal", goal.height());
    out.hex(picture.bytes);
    out.close();
    return true;
}

}  // namespace engine
