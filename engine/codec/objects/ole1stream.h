#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The OLE 1 object stream an RTF \objdata group holds: a header naming the class, the
// linked file (for a link) and the native data. A package's native data holds one file
// with its label and original path.
namespace engine::objects {

struct Ole1Object {
    QString className;
    bool linked = false;
    QString topic;       // the linked file for a link
    QByteArray native;   // embedded objects only
};

QByteArray writeOle1Stream(const Ole1Object &object);
std::optional<Ole1Object> readOle1Stream(QByteArrayView bytes);

struct PackagedFile {
    QString label;
    QString path;
    QByteArray contents;
};

QByteArray writePackage(const PackagedFile &file);
std::optional<PackagedFile> readPackage(QByteArrayView native);

}  // namespace engine::objects
