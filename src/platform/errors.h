#pragma once

#include <QString>

#include <stdexcept>

// A file, format or conversion failure that ends the operator action that hit it. The message is
// complete and meant for the error box as it stands: it names the file or quotes the text.
class VoltarisError : public std::runtime_error
{
public:
    explicit VoltarisError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }

    QString message() const { return m_message; }

private:
    QString m_message;
};
