// SPDX-License-Identifier: GPL-3.0-or-later
#include "CSRegexException.h"

namespace calidra {

CSRegexException::CSRegexException(const QString& reason)
    : std::runtime_error(reason.toUtf8().toStdString()), m_reason(reason)
{}

QString CSRegexException::name() const
{
    return u"CSRegexException"_qs;
}

QString CSRegexException::reason() const
{
    return m_reason;
}

} // namespace calidra
