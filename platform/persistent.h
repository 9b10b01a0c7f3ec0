#pragma once
#include <QString>

// An object whose content can be copied from another object with Assign. Assign accepts
// the classes it knows and refuses every other with the error below.
class TPersistent {
public:
    virtual ~TPersistent() = default;
    virtual QString ClassName() const = 0;
};

// Throws Exception "Cannot assign a <source class> to a <destination class>".
[[noreturn]] void throwAssignError(const TPersistent &Source, const TPersistent &Destination);
