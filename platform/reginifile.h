#pragma once
#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>

// Per-user settings kept as sections of named string values, over QSettings.
//
// Created on a registry-style key path under the current user: "\Software\Org\App\"
// (leading and trailing backslashes optional) opens the settings of organisation "Org"
// and application "App" (the registry key HKCU\Software\Org\App on Windows,
// ~/.config/Org/App.conf on Linux); further levels of the path become a group prefix.
// A section is a group, an identifier a value in it. For tests and tools the object can
// also be created on an explicit INI file.
//
// Creating the object never throws: a damaged or unreadable store is reported by the
// first read, a store that cannot be written by the first write, and the program keeps
// running either way.
//
// Failures are `Exception`s with these texts:
// - "Invalid data type for '<Ident>'": the value exists but is not a string. A value is a
//   string when QSettings reads it back as a QString: plain INI text, quoted text,
//   a number written as plain text, REG_SZ and REG_EXPAND_SZ. Anything else is not:
//   an unquoted list ("a, b" reads as a QStringList), @ByteArray(...), @Variant(...)
//   holding a number, date or anything else, @Rect/@Size/@Point, @Invalid(), and on
//   Windows REG_DWORD, REG_QWORD and REG_MULTI_SZ.
// - "Failed to get data for '<Ident>'": the store cannot be read: the settings file
//   exists but cannot be opened (for example it is a folder), or it is damaged so that
//   QSettings reports a format error. A file that cannot be opened fails every read; a
//   damaged one fails one read, after which what could be parsed is read (QSettings
//   parses a file once per process, so only the first object on it sees the damage).
// - "Failed to create key <Section>": a section cannot be created for writing: the
//   section name is empty, or the folder that holds the settings file does not exist and
//   cannot be made (for example a part of its path is a regular file).
// - "Failed to set data for '<Ident>'": a written value could not be stored: writing the
//   settings file failed when it was synchronised right after the write (read-only
//   folder, full disk, file size limit, a folder in the file's place). EraseSection
//   reports a failed write with the section name in the same text.
class TRegIniFile {
public:
    struct IniFile {
        QString fileName;
    };

    explicit TRegIniFile(const QString &keyPath);
    explicit TRegIniFile(const IniFile &file);
    ~TRegIniFile();
    TRegIniFile(const TRegIniFile &) = delete;
    TRegIniFile &operator=(const TRegIniFile &) = delete;

    // The value's text, cut at its first NUL; Default when the section or value is missing.
    QString ReadString(const QString &Section, const QString &Ident, const QString &Default);
    // Stores Value as a string and writes the store at once.
    void WriteString(const QString &Section, const QString &Ident, const QString &Value);
    // Deletes the section with everything in it; a missing section is not an error.
    void EraseSection(const QString &Section);

    // Queries that never throw. Names of the values directly in the section; empty when it
    // is missing or unreadable.
    QStringList ReadSection(const QString &Section);
    bool SectionExists(const QString &Section);
    bool ValueExists(const QString &Section, const QString &Ident);
    // False when the settings file exists but cannot be opened (a folder in its place, no
    // permission to read); a missing file is readable, as empty.
    bool StoreReadable() const { return storeCanBeOpened(); }

    // Where the settings live: the file, or the registry path on Windows.
    QString FileName() const;

private:
    QString groupOf(const QString &Section) const;
    QString keyOf(const QString &Section, const QString &Ident) const;
    void reopen();
    void reopenAfterError();
    bool storeCanBeOpened() const;
    void ensureReadable(const QString &Ident);
    void ensureSectionCanBeCreated(const QString &Section);
    void commit(const QString &failedName);

    std::unique_ptr<QSettings> m_settings;
    QString m_fileName;      // explicit file or registry path, empty for organisation/application
    bool m_nativeFile = false;  // m_fileName is a registry path (Windows)
    QString m_organization;  // per-user store
    QString m_application;
    QString m_prefix;        // group prefix from deeper key levels, "" or ending in '/'
    bool m_fileBacked = true;
};
