#include "platform/fontnames.h"

#include <QFontDatabase>

namespace {

// Qt names a family that several foundries make "Family [Foundry]". Documents name the
// family alone, and a face name with the foundry would mean nothing to other programs.
QString familyWithoutFoundry(const QString &family)
{
    const qsizetype foundry = family.lastIndexOf(QLatin1String(" ["));
    return foundry > 0 && family.endsWith(QLatin1Char(']')) ? family.left(foundry) : family;
}

}  // namespace

namespace platform {

QStringList screenFontNames()
{
    QStringList names;
    for (const QString &family : QFontDatabase::families())
        names << familyWithoutFoundry(family);
    names.removeDuplicates();
    return names;
}

}  // namespace platform
