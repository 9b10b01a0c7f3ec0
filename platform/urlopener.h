#pragma once
#include <QUrl>
#include <functional>

// Opening a file or link with the desktop's default application, through one seam that
// tests can replace to observe what would be opened.
namespace platform {

using UrlOpener = std::function<bool(const QUrl &url)>;

// False when the desktop has no application for it.
bool openUrl(const QUrl &url);

// Installs an opener; an empty one restores the desktop's.
void setUrlOpener(UrlOpener opener);

}  // namespace platform
