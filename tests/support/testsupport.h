#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>

// Helpers the tests share. Nothing here is linked into the program.
namespace testsupport {

// The named descendant of `parent`; a missing one ends the test run, since every check
// after it would fail for the same reason.
template <typename T>
T *child(const QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

// Writes the bytes, replacing the file; a file that cannot be written fails the test.
void writeFile(const QString &path, const QByteArray &content);
// The file's bytes, or empty when it cannot be read.
QByteArray readFile(const QString &path);
// A file of tests/data/rtf; a missing one fails the test rather than passing empty.
QByteArray readRtfFixture(const QString &name);
// New documents take the application font: makes their default size RTF's 12 pt.
void useTwelvePointApplicationFont();

}  // namespace testsupport
