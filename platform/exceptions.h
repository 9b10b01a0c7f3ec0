#pragma once
#include <QString>
#include <exception>

// Errors are exceptions carrying a message text. The application object catches what
// a handler lets through and shows the message; EAbort unwinds silently.
class Exception : public std::exception {
public:
    explicit Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// The silent abort: a user's Cancel that unwinds a whole command.
class EAbort : public Exception {
public:
    EAbort() : Exception(QStringLiteral("Operation aborted")) {}
};

// A text that is not a number where one is required.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A stream that could not be read, written or grown.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};
