#include "richedit/wwobjectverbfiles.h"

#include "engine/codec/objects/objectfactory.h"
#include "engine/view/richeditview.h"
#include "platform/exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr QFileDevice::Permissions kPrivate = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

}  // namespace

TwwObjectVerbFiles::TwwObjectVerbFiles(engine::RichEditView *view) : m_view(view)
{
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &TwwObjectVerbFiles::fileChanged);
    connect(view->document(), &QTextDocument::contentsChanged, this,
            &TwwObjectVerbFiles::dropFilesOfRemovedObjects);
}

TwwObjectVerbFiles::~TwwObjectVerbFiles() = default;  // the folder goes with its files

QString TwwObjectVerbFiles::folderFor(const QString &fileName)
{
    if (!m_folder) {
        m_folder = std::make_unique<QTemporaryDir>();
        if (!m_folder->isValid()) {
            const QString reason = m_folder->errorString();
            m_folder.reset();
            throw Exception(QStringLiteral("Cannot create a temporary folder for the object: %1").arg(reason));
        }
        QFile::setPermissions(m_folder->path(), kPrivate | QFileDevice::ExeOwner);
    }
    // One folder per file, so that two objects with the same file name do not meet.
    const QString folder = m_folder->filePath(QString::number(++m_written));
    if (!QDir().mkpath(folder))
        throw Exception(QStringLiteral("Cannot create a temporary folder for the object %1.").arg(fileName));
    return folder;
}

QString TwwObjectVerbFiles::WriteFile(int position, const engine::objects::EmbeddedObject &object)
{
    const QString fileName = object.dataFileName();
    const QString path = QDir(folderFor(fileName)).filePath(fileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(object.data) != object.data.size() || !file.flush())
        throw Exception(QStringLiteral("Cannot write the object to %1: %2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
    file.close();
    file.setPermissions(kPrivate);
    m_files.append({path, m_view->oleInterface()->trackObject(position), object});
    m_watcher.addPath(path);
    return path;
}

void TwwObjectVerbFiles::fileChanged(const QString &path)
{
    // Applications that save by replacing the file end the watch; it is taken up again.
    if (QFileInfo::exists(path) && !m_watcher.files().contains(path))
        m_watcher.addPath(path);
    dropFilesOfRemovedObjects();
    for (File &entry : m_files) {
        if (entry.path != path)
            continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.size() > engine::objects::kMaxEmbeddedFileBytes)
            return;  // half written, gone or too large: the object keeps its data
        const QByteArray data = file.readAll();
        if (data == entry.data.data)
            return;
        entry.data.data = data;
        m_view->oleInterface()->replaceObject(entry.object.selectionStart(),
                                              engine::objects::documentObject(entry.data));
        return;
    }
}

void TwwObjectVerbFiles::dropFilesOfRemovedObjects()
{
    for (qsizetype i = m_files.size() - 1; i >= 0; --i)
        if (!m_files[i].object.hasSelection())
            remove(i);
}

void TwwObjectVerbFiles::remove(qsizetype index)
{
    const QString path = m_files[index].path;
    m_watcher.removePath(path);
    QFile::remove(path);
    QDir().rmdir(QFileInfo(path).path());
    m_files.removeAt(index);
}
