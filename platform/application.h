#pragma once
#include <QApplication>
#include <exception>

namespace platform {

// The application object. No exception ever crosses Qt's event loop: notify() catches
// whatever an event handler lets through and reports it (see reportException), and the
// program keeps running.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

// The application's title: the first half of the main window's caption and the caption of
// its message boxes. Kept apart from Qt's display name, which X11 appends to every caption.
QString applicationTitle();
void setApplicationTitle(const QString &title);

// Shows the message of an exception in the error box: EAbort shows nothing, an Exception
// or std::exception shows its message, anything else a generic text. Never throws.
void reportException(std::exception_ptr error);

// Runs a command handler and reports what it throws, so that the exception stops at the
// handler's boundary instead of unwinding through Qt's own frames.
template <typename Handler>
void runGuarded(Handler &&handler)
{
    try {
        handler();
    } catch (...) {
        reportException(std::current_exception());
    }
}

}  // namespace platform
