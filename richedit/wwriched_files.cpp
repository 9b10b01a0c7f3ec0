#include "richedit/wwriched_files.h"

#include "platform/exceptions.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <new>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

[[noreturn]] void raiseSaveError(const QString &fileName, const QString &reason)
{
    throw EStreamError(QStringLiteral("Cannot save \"%1\": %2").arg(fileName, reason));
}

[[noreturn]] void raiseLoadError(const QString &fileName, const QString &reason)
{
    throw EStreamError(QStringLiteral("Cannot open \"%1\": %2").arg(fileName, reason));
}

// The file a save really replaces: the end of a chain of symbolic links, also when
// that end does not exist yet.
QString resolveSaveTarget(const QString &fileName)
{
    QFileInfo info(fileName);
    for (int hops = 0; info.isSymLink() && hops < 40; ++hops)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

QString reasonOf(const QIODevice &device, const Exception &error)
{
    const QString deviceReason = device.errorString();
    if (deviceReason.isEmpty() || deviceReason == QLatin1String("Unknown error"))
        return error.message();
    return deviceReason;
}

// Devices and pipes cannot be replaced by a new file, so they are written directly.
void writeInPlace(const QString &displayName, const QString &target,
                  const std::function<void(QIODevice &)> &write)
{
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        raiseSaveError(displayName, file.errorString());
    try {
        write(file);
    } catch (const Exception &error) {
        raiseSaveError(displayName, reasonOf(file, error));
    }
    if (!file.flush() || file.error() != QFileDevice::NoError)
        raiseSaveError(displayName, file.errorString());
}

// The whole new content, made before the file is touched.
QByteArray contentInMemory(const QString &displayName, const std::function<void(QIODevice &)> &write)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    try {
        write(buffer);
    } catch (const Exception &error) {
        raiseSaveError(displayName, reasonOf(buffer, error));
    }
    return buffer.data();
}

bool replaceContent(QFile &file, const QByteArray &bytes)
{
    return file.seek(0) && file.write(bytes) == bytes.size() && file.resize(bytes.size());
}

// The folder takes no new file, so the file is overwritten where it stands. The old
// content is kept in memory and written back when the new content does not fit; it
// fits again, as it only goes into the space it had.
void overwriteKeepingOldContent(const QString &displayName, const QString &target,
                                const std::function<void(QIODevice &)> &write)
{
    const QByteArray content = contentInMemory(displayName, write);
    QFile file(target);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        raiseSaveError(displayName, file.errorString());
    const QByteArray previous = file.readAll();
    if (file.error() != QFileDevice::NoError)
        raiseSaveError(displayName, file.errorString());
    if (replaceContent(file, content))
        return;
    const QString reason = file.errorString();
    file.unsetError();
    replaceContent(file, previous);
    raiseSaveError(displayName, reason);
}

bool folderTakesNewFiles(const QString &target)
{
    return QFileInfo(QFileInfo(target).absolutePath()).isWritable();
}

void writeReplacing(const QString &displayName, const QString &target,
                    const std::function<void(QIODevice &)> &write)
{
    const bool existed = QFileInfo::exists(target);
    const QFileDevice::Permissions permissions = existed ? QFile::permissions(target)
                                                         : QFileDevice::Permissions();
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        if (existed && !folderTakesNewFiles(target)) {
            overwriteKeepingOldContent(displayName, target, write);
            return;
        }
        raiseSaveError(displayName, file.errorString());
    }
    try {
        write(file);
    } catch (const Exception &error) {
        const QString reason = reasonOf(file, error);
        file.cancelWriting();
        raiseSaveError(displayName, reason);
    }
    // The last buffered bytes are written here: commit() would not notice their failure
    // and would put an incomplete file in the old one's place.
    if (!file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        raiseSaveError(displayName, reason);
    }
    if (!file.commit())
        raiseSaveError(displayName, file.errorString());
    if (existed)
        QFile::setPermissions(target, permissions);
}

// Character and block devices (/dev/zero, /dev/urandom, a disk) hold no document and
// may never end, which would keep the load going for ever. Pipes do end.
bool isDevice(const QString &fileName)
{
#ifdef Q_OS_UNIX
    struct stat info;
    return ::stat(QFile::encodeName(fileName).constData(), &info) == 0
           && (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode));
#else
    Q_UNUSED(fileName);
    return false;
#endif
}

}  // namespace

void writeFileSafely(const QString &fileName, const std::function<void(QIODevice &)> &write)
{
    if (fileName.isEmpty())
        raiseSaveError(fileName, QStringLiteral("No file name given"));
    const QString target = resolveSaveTarget(fileName);
    const QFileInfo info(target);
    if (info.isDir())
        raiseSaveError(fileName, QStringLiteral("It is a folder"));
    try {
        if (info.exists() && !info.isFile())
            writeInPlace(fileName, target, write);
        else
            writeReplacing(fileName, target, write);
    } catch (const std::bad_alloc &) {
        raiseSaveError(fileName, QStringLiteral("Not enough memory"));
    }
}

void readFileFrom(const QString &fileName, const std::function<void(QIODevice &)> &read)
{
    if (QFileInfo(fileName).isDir())
        raiseLoadError(fileName, QStringLiteral("It is a folder"));
    if (isDevice(fileName))
        raiseLoadError(fileName, QStringLiteral("It is a device, not a document"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        raiseLoadError(fileName, file.errorString());
    try {
        read(file);
    } catch (const Exception &error) {
        raiseLoadError(fileName, reasonOf(file, error));
    } catch (const std::bad_alloc &) {
        raiseLoadError(fileName, QStringLiteral("Not enough memory to load the document"));
    }
}
