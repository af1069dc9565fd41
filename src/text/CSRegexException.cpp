#include "CSRegexException.h"

namespace calidra {

CSRegexException::CSRegexException(const QString& reason)
    : std::runtime_error(reason.toUtf8().toStdString()), reason_(reason)
{}

QString CSRegexException::name() const
{
    return u"CSRegexException"_qs;
}

QString CSRegexException::reason() const
{
    return reason_;
}

} // namespace calidra
