#include "platform/reginifile.h"

#include "platform/exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace {

QStringList keyLevels(const QString &keyPath)
{
    QString path = keyPath;
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

// QSettings treats both slashes as group separators and ignores empty levels.
QString normalizedSection(const QString &Section)
{
    QString section = Section;
    section.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return section.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
}

QString cutAtNul(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

}  // namespace

TRegIniFile::TRegIniFile(const QString &keyPath)
{
    const QStringList levels = keyLevels(keyPath);
#ifdef Q_OS_WIN
    m_fileName = QStringLiteral("HKEY_CURRENT_USER\\") + levels.join(QLatin1Char('\\'));
    m_nativeFile = true;
    m_fileBacked = false;
#else
    qsizetype first = 0;
    if (!levels.isEmpty() && levels.first().compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0)
        first = 1;
    m_organization = levels.value(first);
    m_application = levels.value(first + 1);
    const QStringList deeper = levels.mid(first + 2);
    if (!deeper.isEmpty())
        m_prefix = deeper.join(QLatin1Char('/')) + QLatin1Char('/');
#endif
    reopen();
}

TRegIniFile::TRegIniFile(const IniFile &file)
    : m_fileName(file.fileName)
{
    reopen();
}

TRegIniFile::~TRegIniFile() = default;

void TRegIniFile::reopen()
{
    m_settings.reset();  // releases the old object before the new one reads the store
    if (m_nativeFile)
        m_settings = std::make_unique<QSettings>(m_fileName, QSettings::NativeFormat);
    else if (!m_fileName.isEmpty())
        m_settings = std::make_unique<QSettings>(m_fileName, QSettings::IniFormat);
    else
        m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                 m_organization, m_application);
    // A registry key has no organisation-wide or system-wide values behind it.
    m_settings->setFallbacksEnabled(false);
}

// QSettings keeps the first error it met for the life of the object; a fresh object lets
// the next operation report its own outcome.
void TRegIniFile::reopenAfterError()
{
    if (m_settings->status() != QSettings::NoError)
        reopen();
}

QString TRegIniFile::FileName() const
{
    return m_settings->fileName();
}

QString TRegIniFile::groupOf(const QString &Section) const
{
    const QString section = normalizedSection(Section);
    if (section.isEmpty())
        return m_prefix.chopped(m_prefix.isEmpty() ? 0 : 1);
    return m_prefix + section;
}

QString TRegIniFile::keyOf(const QString &Section, const QString &Ident) const
{
    const QString group = groupOf(Section);
    return group.isEmpty() ? Ident : group + QLatin1Char('/') + Ident;
}

bool TRegIniFile::storeCanBeOpened() const
{
    if (!m_fileBacked)
        return true;
    const QString fileName = m_settings->fileName();
    if (!QFileInfo::exists(fileName))
        return true;  // a missing store reads as empty
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly);
}

// An error QSettings met earlier is a read failure when the file is damaged or cannot be
// opened; an access error left by a failed write is not, and only needs a fresh object.
void TRegIniFile::ensureReadable(const QString &Ident)
{
    const QSettings::Status status = m_settings->status();
    if (status == QSettings::NoError)
        return;
    const bool unreadable = status == QSettings::FormatError || !storeCanBeOpened();
    reopen();
    if (unreadable)
        throw Exception(QStringLiteral("Failed to get data for '%1'").arg(Ident));
}

QString TRegIniFile::ReadString(const QString &Section, const QString &Ident, const QString &Default)
{
    ensureReadable(Ident);
    const QString key = keyOf(Section, Ident);
    if (!m_settings->contains(key))
        return Default;
    const QVariant value = m_settings->value(key);
    if (value.typeId() != QMetaType::QString)
        throw Exception(QStringLiteral("Invalid data type for '%1'").arg(Ident));
    return cutAtNul(value.toString());
}

void TRegIniFile::ensureSectionCanBeCreated(const QString &Section)
{
    const auto fail = [&] { throw Exception(QStringLiteral("Failed to create key %1").arg(Section)); };
    if (normalizedSection(Section).isEmpty())
        fail();
    if (!m_fileBacked)
        return;
    const QString folder = QFileInfo(m_settings->fileName()).absolutePath();
    if (!QDir().mkpath(folder))
        fail();
}

// Writes pending changes now, so that a failure is reported by the call that caused it.
// A format error met while re-reading the file does not stop the write; only an access
// error means the data did not reach the store.
void TRegIniFile::commit(const QString &failedName)
{
    m_settings->sync();
    if (m_settings->status() == QSettings::AccessError) {
        reopen();
        throw Exception(QStringLiteral("Failed to set data for '%1'").arg(failedName));
    }
}

void TRegIniFile::WriteString(const QString &Section, const QString &Ident, const QString &Value)
{
    reopenAfterError();
    ensureSectionCanBeCreated(Section);
    m_settings->setValue(keyOf(Section, Ident), Value);
    commit(Ident);
}

void TRegIniFile::EraseSection(const QString &Section)
{
    if (normalizedSection(Section).isEmpty())
        return;  // never wipe the whole store for a missing section name
    reopenAfterError();
    if (!SectionExists(Section))
        return;
    m_settings->remove(groupOf(Section));
    commit(Section);
}

QStringList TRegIniFile::ReadSection(const QString &Section)
{
    const QStringList all = m_settings->allKeys();
    const QString prefix = groupOf(Section);
    QStringList names;
    for (const QString &key : all) {
        const QString name = prefix.isEmpty() ? key : key.mid(prefix.size() + 1);
        if ((prefix.isEmpty() || key.startsWith(prefix + QLatin1Char('/'))) && !name.contains(QLatin1Char('/')))
            names.append(name);
    }
    return names;
}

// Looks through every key: QSettings parses INI sections lazily, and a group reached
// through beginGroup() can miss keys stored under a separate "[Section/Sub]" header.
bool TRegIniFile::SectionExists(const QString &Section)
{
    const QStringList all = m_settings->allKeys();
    const QString prefix = groupOf(Section);
    if (prefix.isEmpty())
        return !all.isEmpty();
    const QString withSlash = prefix + QLatin1Char('/');
    return std::any_of(all.cbegin(), all.cend(), [&](const QString &key) { return key.startsWith(withSlash); });
}

bool TRegIniFile::ValueExists(const QString &Section, const QString &Ident)
{
    return m_settings->contains(keyOf(Section, Ident));
}
