#pragma once

#include <QString>
#include <exception>

namespace kit {

// The error that ends the current handler and reaches the window's error box. It carries the
// user-facing French message as text, so that no encoding round trip can damage its accents.
class Error : public std::exception {
public:
    explicit Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// The message of any escaped exception, ours or the standard library's.
QString errorMessage(const std::exception &e);

} // namespace kit
