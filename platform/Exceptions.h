#pragma once
// Failures are exceptions carrying a user-facing message; the application object
// shows any that escape an event handler (see Application.cpp).
#include <QString>
#include <stdexcept>

class Exception : public std::runtime_error {
public:
    explicit Exception(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &Message() const { return m_message; }

private:
    QString m_message;
};

// A file exists but cannot be opened or read.
class EFOpenError : public Exception {
public:
    using Exception::Exception;
};

// A file cannot be created or written.
class EFCreateError : public Exception {
public:
    using Exception::Exception;
};

// The clipboard cannot be opened.
class EClipboardException : public Exception {
public:
    using Exception::Exception;
};
