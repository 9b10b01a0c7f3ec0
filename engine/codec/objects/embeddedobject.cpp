#include "engine/codec/objects/embeddedobject.h"

#include "engine/codec/objects/ole1stream.h"
#include "engine/codec/rtf/rtftokenizer.h"
#include "engine/codec/rtf/write/rtfoutput.h"

#include <QFileInfo>

namespace engine::objects {
namespace {

constexpr int kTwipsPerPixel = 15;  // at 96 dpi

enum class Destination { Body, ClassName, Data, Skipped };

struct GroupScan {
    QByteArray className;
    QByteArray hexData;
    QByteArray binaryData;
    bool linked = false;
    QSize sizeTwips;
};

Destination destinationOf(QByteArrayView word, Destination current)
{
    if (word == "objclass")
        return Destination::ClassName;
    if (word == "objdata")
        return Destination::Data;
    if (word == "result" || word == "objname" || word == "objtopic" || word == "objalias")
        return Destination::Skipped;
    return current;
}

void readWord(const RtfToken &token, int depth, GroupScan &scan)
{
    if (depth != 1)
        return;
    if (token.data == "objemb")
        scan.linked = false;
    else if (token.data == "objlink" || token.data == "objautlink")
        scan.linked = true;
    else if (token.data == "objw")
        scan.sizeTwips.setWidth(token.parameter);
    else if (token.data == "objh")
        scan.sizeTwips.setHeight(token.parameter);
}

// Collects the class, the data and the object's own words; nothing when the bytes are
// not an \object group.
std::optional<GroupScan> scanGroup(QByteArrayView rtf)
{
    RtfTokenizer tokens(rtf);
    if (tokens.next().kind != RtfTokenKind::GroupOpen)
        return std::nullopt;
    const RtfToken first = tokens.next();
    if (first.kind != RtfTokenKind::ControlWord || first.data != "object")
        return std::nullopt;
    GroupScan scan;
    QList<Destination> stack{Destination::Body};
    for (RtfToken token = tokens.next(); token.kind != RtfTokenKind::End && !stack.isEmpty();
         token = tokens.next()) {
        Destination &here = stack.last();
        switch (token.kind) {
        case RtfTokenKind::GroupOpen: stack.append(here); break;
        case RtfTokenKind::GroupClose: stack.removeLast(); break;
        case RtfTokenKind::ControlWord:
            here = destinationOf(token.data, here);
            readWord(token, int(stack.size()), scan);
            break;
        case RtfTokenKind::Text:
            if (here == Destination::ClassName)
                scan.className += token.data.toByteArray();
            else if (here == Destination::Data)
                scan.hexData += token.data.toByteArray();
            break;
        case RtfTokenKind::Binary:
            if (here == Destination::Data)
                scan.binaryData += token.data.toByteArray();
            break;
        default: break;
        }
    }
    return scan;
}

void takePackage(EmbeddedObject &object, const QByteArray &native)
{
    const std::optional<PackagedFile> file = readPackage(native);
    if (!file) {
        object.data = native;
        return;
    }
    object.fileName = QFileInfo(file->path).fileName();
    if (object.fileName.isEmpty())
        object.fileName = file->label;
    object.data = file->contents;
}

}  // namespace

QString EmbeddedObject::userTypeName() const
{
    return className.isEmpty() ? QStringLiteral("Object") : className;
}

QList<ObjectVerb> EmbeddedObject::verbs() const
{
    if (linked)
        return {{QStringLiteral("&Open"), 0}};
    if (className == kPictureClass)
        return {{QStringLiteral("&Edit"), 0}, {QStringLiteral("&Open"), 1}};
    if (className == kPackageClass && !fileName.isEmpty())
        return {{QStringLiteral("&Open"), 0}};
    return {};  // a class this layer cannot run
}

QString EmbeddedObject::dataFileName() const
{
    const QString name = QFileInfo(fileName).fileName();
    if (!name.isEmpty())
        return name;
    return className == kPictureClass ? QStringLiteral("Picture.png") : QStringLiteral("Object.bin");
}

std::optional<EmbeddedObject> parseObjectGroup(QByteArrayView rtf)
{
    const std::optional<GroupScan> scan = scanGroup(rtf);
    if (!scan)
        return std::nullopt;
    EmbeddedObject object;
    object.className = QString::fromLatin1(scan->className).trimmed();
    object.linked = scan->linked;
    object.sizeTwips = scan->sizeTwips;
    const QByteArray data = QByteArray::fromHex(scan->hexData) + scan->binaryData;
    const std::optional<Ole1Object> ole = readOle1Stream(data);
    if (!ole) {
        object.data = data;
        return object;
    }
    if (object.className.isEmpty())
        object.className = ole->className;
    if (ole->linked) {
        object.linked = true;
        object.linkPath = ole->topic;
        object.fileName = QFileInfo(ole->topic).fileName();
    } else if (object.className == kPackageClass) {
        object.asIcon = true;
        takePackage(object, ole->native);
    } else {
        object.data = ole->native;
    }
    return object;
}

QByteArray objectGroupRtf(const EmbeddedObject &object, const QByteArray &presentationPng, QSize pixels)
{
    Ole1Object ole;
    ole.className = object.className;
    ole.linked = object.linked;
    ole.topic = object.linkPath;
    if (object.className == kPackageClass)
        ole.native = writePackage({object.fileName, object.fileName, object.data});
    else
        ole.native = object.data;

    RtfOutput out(object.data.size() * 2 + presentationPng.size() * 2 + 512);
    out.open();
    out.word("object");
    out.word(object.linked ? "objlink" : "objemb");
    out.word("objw", pixels.width() * kTwipsPerPixel);
    out.word("objh", pixels.height() * kTwipsPerPixel);
    out.open();
    out.words("\\*\\objclass");
    out.text(object.className, true);
    out.close();
    out.open();
    out.words("\\*\\objdata");
    out.hex(writeOle1Stream(ole));
    out.close();
    out.open();
    out.word("result");
    out.open();
    out.word("pict");
    out.word("pngblip");
    out.word("picw", pixels.width());
    out.word("pich", pixels.height());
    out.word("picwgoal", pixels.width() * kTwipsPerPixel);
    out.word("pichgoal", pixels.height() * kTwipsPerPixel);
    out.hex(presentationPng);
    out.close();
    out.close();
    out.close();
    return out.take();
}

}  // namespace engine::objects
