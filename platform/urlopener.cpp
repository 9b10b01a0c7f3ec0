#include "platform/urlopener.h"

#include <QDesktopServices>

namespace platform {
namespace {

UrlOpener &installedOpener()
{
    static UrlOpener opener;
    return opener;
}

}  // namespace

bool openUrl(const QUrl &url)
{
    const UrlOpener &opener = installedOpener();
    return opener ? opener(url) : QDesktopServices::openUrl(url);
}

void setUrlOpener(UrlOpener opener)
{
    installedOpener() = std::move(opener);
}

}  // namespace platform
