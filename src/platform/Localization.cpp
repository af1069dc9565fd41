// SPDX-License-Identifier: GPL-3.0-or-later
#include "Localization.h"

#include <QCoreApplication>

namespace calidra {

QString printfConversions(const QString& format)
{
    QString found;
    for (qsizetype at = format.indexOf(u'%'); at >= 0 && at + 1 < format.size();
         at = format.indexOf(u'%', at + 1)) {
        qsizetype end = at + 1;
        while (end < format.size() && QStringView(u"-+ #0123456789.lhqjzt").contains(format[end])) {
            ++end;
        }
        // A percent sign before anything but a conversion letter (a quote,
        // "%%") is text, not a conversion.
        if (end < format.size() && (format[end].isLetter() || format[end] == u'@')) {
            found += format.mid(at + 1, end - at);
        }
        at = end;
    }
    return found;
}

QString localizedString(const char* key)
{
    return QCoreApplication::translate(TranslationContext, key);
}

QString localizedFormat(const char* key)
{
    const QString original = QString::fromUtf8(key);
    const QString translated = localizedString(key);
    return printfConversions(translated) == printfConversions(original) ? translated : original;
}

} // namespace calidra
