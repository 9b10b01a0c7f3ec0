#include "platform/persistent.h"

#include "platform/exceptions.h"

void throwAssignError(const TPersistent &Source, const TPersistent &Destination)
{
    throw Exception(QStringLiteral("Cannot assign a %1 to a %2").arg(Source.ClassName(), Destination.ClassName()));
}
