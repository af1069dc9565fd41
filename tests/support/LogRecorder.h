// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>
#include <QStringList>

namespace calidra {

/// Every message logged while the object lives, as "<category> <text>", in
/// place of standard error, under logging rules written as QT_LOGGING_RULES
/// would give them (empty: the defaults, as a user's program has them). Only
/// one may live at a time.
class LogRecorder
{
public:
    explicit LogRecorder(const QString& rules)
    {
        s_messages = &messages;
        m_previous = qInstallMessageHandler(record);
        QLoggingCategory::setFilterRules(rules);
    }

    ~LogRecorder()
    {
        QLoggingCategory::setFilterRules({});
        qInstallMessageHandler(m_previous);
        s_messages = nullptr;
    }

    LogRecorder(const LogRecorder&) = delete;
    LogRecorder& operator=(const LogRecorder&) = delete;

    QStringList messages;

private:
    static void record(QtMsgType, const QMessageLogContext& context, const QString& message)
    {
        s_messages->append(QString::fromUtf8(context.category) + u' ' + message);
    }

    static inline QStringList* s_messages = nullptr;
    QtMessageHandler m_previous;
};

} // namespace calidra
