#pragma once
#include <QString>
#include <functional>

class QIODevice;

// Writes a file so that a failure never destroys the previous one: `write` fills a
// temporary file in the same folder, which replaces the old file only once it is
// complete. A symbolic link keeps pointing at its target, which is what gets replaced;
// the replaced file keeps its permissions. Where the folder refuses new files but the
// file itself is writable, the file is overwritten in place, and its old content put
// back when the new one cannot be written whole. Devices and pipes are written directly.
// Failures raise EStreamError naming the file and the reason.
void writeFileSafely(const QString &fileName, const std::function<void(QIODevice &)> &write);

// Opens a file for reading and hands it to `read`. A missing or unreadable file, a
// folder, a device, a read failure or running out of memory raise EStreamError naming
// the file and the reason.
void readFileFrom(const QString &fileName, const std::function<void(QIODevice &)> &read);
