// SPDX-License-Identifier: GPL-3.0-or-later
#include "ObjectFormat.h"

namespace calidra {

QString stringWithFormat(const QString& format, const QStringList& arguments)
{
    QString result;
    qsizetype next = 0;
    for (qsizetype at = 0; at < format.size(); ++at) {
        const QChar following = at + 1 < format.size() ? format[at + 1] : QChar();
        if (format[at] == u'%' && following == u'@') {
            result += arguments.value(next++);
            ++at;
        } else if (format[at] == u'%' && following == u'%') {
            result += u'%';
            ++at;
        } else {
            result += format[at];
        }
    }
    return result;
}

} // namespace calidra
