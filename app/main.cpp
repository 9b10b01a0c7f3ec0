#include "app/WPForm.h"
#include "app/commandline.h"
#include "app/startupprobe.h"
#include "platform/application.h"
#include "richedit/Wwintl.h"

#include <memory>

int main(int argc, char *argv[])
{
    platform::Application app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Penhaven"));
    QCoreApplication::setApplicationName(QStringLiteral("Wordprocessor"));
    // Lets the desktop match the window with the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("wordprocessor"));
    platform::setApplicationTitle(QStringLiteral("Vantor Crestel Word Processor"));
    CreateGlobalIntl(app);

    std::unique_ptr<TfmPellWP> fmPellWP;
    try {
        fmPellWP = std::make_unique<TfmPellWP>();
        fmPellWP->show();
    } catch (...) {
        platform::reportException(std::current_exception());
        return 1;
    }
    // The first document named opens as a dropped file does.
    const QList<QUrl> documents = documentsFromArguments(app.arguments().mid(1));
    if (!documents.isEmpty())
        platform::runGuarded([&] { fmPellWP->WMDropFiles(documents); });
    armStartupProbes(fmPellWP.get());
    return app.exec();
}
