#include "platform/application.h"

#include "platform/dialogs.h"
#include "platform/exceptions.h"

#include <QDebug>

namespace platform {

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportException(std::current_exception());
        return true;
    }
}

namespace {

QString &storedApplicationTitle()
{
    static QString title;
    return title;
}

}  // namespace

QString applicationTitle()
{
    const QString &title = storedApplicationTitle();
    return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

void setApplicationTitle(const QString &title)
{
    storedApplicationTitle() = title;
}

namespace {

QString messageOf(std::exception_ptr error, bool &silent)
{
    silent = false;
    try {
        std::rethrow_exception(error);
    } catch (const EAbort &) {
        silent = true;
    } catch (const Exception &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("An unknown error occurred.");
    }
    return {};
}

}  // namespace

void reportException(std::exception_ptr error)
{
    bool silent = false;
    const QString message = messageOf(error, silent);
    if (silent)
        return;
    try {
        showError(QApplication::activeWindow(), message);
    } catch (const std::exception &e) {
        qCritical("Error box could not be shown for \"%s\": %s", qPrintable(message), e.what());
    } catch (...) {
        qCritical("Error box could not be shown for \"%s\"", qPrintable(message));
    }
}

}  // namespace platform
