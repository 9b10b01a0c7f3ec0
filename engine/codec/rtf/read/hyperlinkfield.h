#pragma once
#include <QString>

namespace engine::rtfin {

// The link target of a field instruction such as HYPERLINK "http://host/" \l "place",
// or an empty string when the field is not a hyperlink. A \l switch adds "#place".
QString hyperlinkTarget(const QString &instruction);

}  // namespace engine::rtfin
