// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <stdexcept>

namespace calidra {

/// The exception raised when a regular expression does not compile. It is the
/// only exception of the text utilities; what() gives the reason as UTF-8.
class CSRegexException : public std::runtime_error
{
public:
    /// Makes the exception with the given reason.
    explicit CSRegexException(const QString& reason);

    /// The exception's name, always "CSRegexException".
    QString name() const;

    /// Why the pattern was refused, naming the pattern and the matcher's message.
    QString reason() const;

private:
    QString m_reason;
};

} // namespace calidra
