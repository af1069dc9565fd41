#pragma once

#include "platform/PrivilegedLauncher.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <chrono>
#include <functional>
#include <ostream>

namespace calidra {

/// The privileged launcher of a test: records each launch and each wait, and
/// answers a launch with `status`, by default that of a refused password, so
/// that callers show they do not depend on it. A wait runs `whileWaiting`,
/// if set, and reports every launch as ended.
class RecordingLauncher : public PrivilegedLauncher
{
public:
    struct Launch
    {
        QString tool;
        QStringList arguments;
        QByteArray standardInput;

        bool operator==(const Launch&) const = default;

        friend void PrintTo(const Launch& launch, std::ostream* out)
        {
            *out << launch.tool.toStdString() << " [" << launch.arguments.join(u' ').toStdString()
                 << "] <<" << launch.standardInput.toStdString() << ">>";
        }
    };

    int launch(const QString& tool, const QStringList& arguments,
               const QByteArray& standardInput) override
    {
        launches.append({tool, arguments, standardInput});
        return status;
    }

    bool waitForFinished(std::chrono::milliseconds timeout) override
    {
        waits.append(timeout);
        if (whileWaiting) {
            whileWaiting();
        }
        return true;
    }

    QList<Launch> launches;
    int status = 126;
    QList<std::chrono::milliseconds> waits;
    std::function<void()> whileWaiting;
};

} // namespace calidra
