#pragma once
#include "engine/codec/objects/embeddedobject.h"

#include <QFileSystemWatcher>
#include <QList>
#include <QObject>
#include <QTemporaryDir>
#include <QTextCursor>
#include <memory>

namespace engine {
class RichEditView;
}

// The temporary files through which a verb hands an object's data to a desktop
// application. Each file lives in a folder only the user can read, and is watched: when
// the application saves it, the object in the document takes the new data (one undoable
// edit that marks the document modified). A file goes when its object leaves the
// document (a new or opened document included) and when the editor goes.
class TwwObjectVerbFiles : public QObject {
    Q_OBJECT
public:
    explicit TwwObjectVerbFiles(engine::RichEditView *view);
    ~TwwObjectVerbFiles() override;

    // Writes the data of the object at `position` to a private file and returns its path;
    // throws an Exception with the reason when the file cannot be written.
    QString WriteFile(int position, const engine::objects::EmbeddedObject &object);
    int Count() const { return int(m_files.size()); }

private:
    struct File {
        QString path;
        QTextCursor object;  // selects the object's character while it is in the document
        engine::objects::EmbeddedObject data;
    };

    void fileChanged(const QString &path);
    void dropFilesOfRemovedObjects();
    void remove(qsizetype index);
    QString folderFor(const QString &fileName);

    engine::RichEditView *m_view;
    std::unique_ptr<QTemporaryDir> m_folder;
    QFileSystemWatcher m_watcher;
    QList<File> m_files;
    int m_written = 0;
};
