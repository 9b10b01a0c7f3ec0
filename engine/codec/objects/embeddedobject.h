#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSize>
#include <QString>
#include <optional>

// The object layer's data model: an object in the document is shown by its presentation
// picture and carries what it stands for. In the document an object is a picture
// character whose format holds the object's whole RTF \object group (prop::ObjectRtf):
// the group is the object's one stored form, so that objects read from other programs
// are written back exactly as they came.
namespace engine::objects {

// The class of a file embedded as a package, and of a picture this layer creates.
inline constexpr QLatin1StringView kPackageClass{"Package"};
inline constexpr QLatin1StringView kPictureClass{"Picture"};

// The largest file that is embedded: its bytes are written as hexadecimal text, and the
// whole group, presentation included, must stay within what the RTF reader keeps.
constexpr qsizetype kMaxEmbeddedFileBytes = 16 * 1024 * 1024;

// A command the object offers on the container's menu; number 0 is the primary verb.
struct ObjectVerb {
    QString name;
    int number = 0;
    bool operator==(const ObjectVerb &) const = default;
};

struct EmbeddedObject {
    QString className;        // "Package", "Picture", or what \objclass names
    bool linked = false;      // \objlink: the data lives in linkPath
    QString linkPath;
    bool asIcon = false;      // shown as an icon and a label, not as its content
    QString fileName;         // the embedded file's name (packages), for its label and verbs
    QByteArray data;          // the file's bytes (packages, pictures) or the native data
    QSize sizeTwips;          // \objw, \objh

    QString userTypeName() const;  // the class's name as the user sees it
    QList<ObjectVerb> verbs() const;
    QString dataFileName() const;  // a name for a file holding the data, its type told by its extension
    bool operator==(const EmbeddedObject &) const = default;
};

// Reads an \object group (from its '{' to its '}'); nothing when the bytes are not one.
std::optional<EmbeddedObject> parseObjectGroup(QByteArrayView rtf);

// Writes the \object group of an object this layer made: its data in the OLE 1 stream
// that other word processors read, and its presentation picture (PNG bytes shown at
// `pixels`) as the \result, which any RTF reader shows.
QByteArray objectGroupRtf(const EmbeddedObject &object, const QByteArray &presentationPng, QSize pixels);

}  // namespace engine::objects
