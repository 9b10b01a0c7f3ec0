#pragma once
#include "engine/codec/objects/embeddedobject.h"

#include <QImage>
#include <QString>
#include <QTextImageFormat>
#include <optional>

// Makes what the document holds for an object: its picture format (prop::ObjectRtf
// carries the object) and its presentation picture. The caller adds the picture to the
// document under a name of its own and sets that name on the format.
namespace engine::objects {

struct DocumentObject {
    QTextImageFormat format;
    QImage picture;
};

// An object from a file, or a clear message why there is none. An image file that is
// neither linked nor shown as an icon becomes a plain picture with the file's bytes;
// any other file is embedded as a package (at most kMaxEmbeddedFileBytes) or linked.
struct FileObjectResult {
    std::optional<DocumentObject> object;
    QString error;
};
FileObjectResult objectFromFile(const QString &path, bool link, bool asIcon);

// A new, blank picture object (white, 320 by 240 pixels).
DocumentObject blankPictureObject();

// The document form of an object: its presentation drawn afresh from its data.
DocumentObject documentObject(const EmbeddedObject &object);

// The object a picture format carries, or nothing for a plain picture.
std::optional<EmbeddedObject> objectOf(const QTextImageFormat &format);

// The presentation of an object shown as an icon: the file type's icon over its label.
QImage iconPresentation(const QString &fileName);

}  // namespace engine::objects
