#pragma once
#include <QStringList>

namespace platform {

// The families of the screen's fonts, each once, by the name documents use for them (Qt's
// "Family [Foundry]" names lose the foundry).
QStringList screenFontNames();

}  // namespace platform
