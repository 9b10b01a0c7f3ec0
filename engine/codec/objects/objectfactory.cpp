#include "engine/codec/objects/objectfactory.h"

#include "engine/codec/pngencoding.h"
#include "engine/codec/textprops.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPainter>

namespace engine::objects {
namespace {

constexpr int kIconSize = 32;
constexpr int kLabelMargin = 4;
constexpr QSize kBlankPictureSize(320, 240);

QImage drawnFileIcon()
{
    QImage icon(kIconSize, kIconSize, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setPen(QColor(0x60, 0x60, 0x60));
    painter.setBrush(Qt::white);
    const QPolygon page{{6, 1}, {20, 1}, {26, 7}, {26, 30}, {6, 30}};
    painter.drawPolygon(page);
    painter.drawPolyline(QPolygon{{20, 1}, {20, 7}, {26, 7}});
    for (int y = 12; y <= 24; y += 4)
        painter.drawLine(10, y, 22, y);
    return icon;
}

QImage fileTypeIcon(const QString &fileName)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        const QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
        if (!icon.isNull())
            return icon.pixmap(kIconSize, kIconSize).toImage();
    }
    return drawnFileIcon();
}

QTextImageFormat pictureFormat(const QImage &picture)
{
    QTextImageFormat format;
    format.setWidth(picture.width());
    format.setHeight(picture.height());
    return format;
}

QString kindOfImage(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return QString::fromLatin1(QImageReader(&buffer).format());
}

// A picture read from a file, kept with the file's own bytes when RTF can hold them.
DocumentObject plainPicture(const QByteArray &bytes, const QImage &image)
{
    DocumentObject picture{pictureFormat(image), image};
    const QString kind = kindOfImage(bytes);
    const bool keepsBytes = kind == QLatin1String("png") || kind == QLatin1String("jpeg");
    picture.format.setProperty(prop::ImageOriginalBytes, keepsBytes ? bytes : encodePng(image));
    picture.format.setProperty(prop::ImageOriginalKind, keepsBytes ? kind : QStringLiteral("png"));
    return picture;
}

QString readError(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot read the file %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

}  // namespace

QImage iconPresentation(const QString &fileName)
{
    const QFont font;
    const QFontMetrics metrics(font);
    const QString label = metrics.elidedText(fileName, Qt::ElideMiddle, 240);
    const int width = qMax(kIconSize, metrics.horizontalAdvance(label)) + 2 * kLabelMargin;
    const int height = kIconSize + metrics.height() + 3 * kLabelMargin;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawImage((width - kIconSize) / 2, kLabelMargin, fileTypeIcon(fileName));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, kIconSize + 2 * kLabelMargin, width, metrics.height()), Qt::AlignHCenter, label);
    return image;
}

DocumentObject documentObject(const EmbeddedObject &object)
{
    QImage picture;
    if (!object.asIcon && object.className == kPictureClass)
        picture = QImage::fromData(object.data);
    else if (!object.asIcon && object.linked)
        picture = QImage(object.linkPath);
    if (picture.isNull())
        picture = iconPresentation(object.fileName.isEmpty() ? object.userTypeName() : object.fileName);
    DocumentObject result{pictureFormat(picture), picture};
    result.format.setProperty(prop::ObjectRtf, objectGroupRtf(object, encodePng(picture), picture.size()));
    return result;
}

std::optional<EmbeddedObject> objectOf(const QTextImageFormat &format)
{
    const QByteArray group = format.property(prop::ObjectRtf).toByteArray();
    if (group.isEmpty())
        return std::nullopt;
    return parseObjectGroup(group);
}

DocumentObject blankPictureObject()
{
    QImage blank(kBlankPictureSize, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EmbeddedObject object;
    object.className = kPictureClass;
    object.fileName = QStringLiteral("Picture.png");
    object.data = encodePng(blank);
    return documentObject(object);
}

FileObjectResult objectFromFile(const QString &path, bool link, bool asIcon)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return {std::nullopt, QStringLiteral("The file %1 does not exist.").arg(QDir::toNativeSeparators(path))};
    EmbeddedObject object;
    object.className = kPackageClass;
    object.fileName = info.fileName();
    object.asIcon = asIcon;
    if (link) {
        object.linked = true;
        object.linkPath = info.absoluteFilePath();
        return {documentObject(object), {}};
    }
    if (info.size() > kMaxEmbeddedFileBytes)
        return {std::nullopt, QStringLiteral("The file %1 is too large to embed: the limit is %2 MB.")
                                  .arg(QDir::toNativeSeparators(path))
                                  .arg(kMaxEmbeddedFileBytes / (1024 * 1024))};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, readError(path, file.errorString())};
    object.data = file.readAll();
    if (object.data.size() != info.size())
        return {std::nullopt, readError(path, file.errorString())};
    if (!asIcon) {
        const QImage image = QImage::fromData(object.data);
        if (!image.isNull())
            return {plainPicture(object.data, image), {}};
        object.asIcon = true;  // a package shows what it is by its icon and name
    }
    return {documentObject(object), {}};
}

}  // namespace engine::objects
