// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PrivilegedLauncher.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <functional>
#include <ostream>
#include <utility>

namespace calidra {

/// The privileged launcher of a test: records each launch, its outcome handler
/// and each wait, and answers a launch with `status`, by default that of a
/// refused password, so that callers show they do not depend on it. The test
/// ends a launch with finish(). A wait runs `whileWaiting`, if set, and
/// reports every launch as ended.
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

    int launch(const QString& tool, const QStringList& arguments, const QByteArray& standardInput,
               OutcomeHandler onFinished) override
    {
        launches.append({tool, arguments, standardInput});
        outcomeHandlers.append(std::move(onFinished));
        return status;
    }

    /// Ends the launch at `index` with `outcome`, as the event loop would.
    void finish(qsizetype index, const Outcome& outcome) const
    {
        if (const OutcomeHandler& handler = outcomeHandlers.at(index)) {
            handler(outcome);
        }
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
    QList<OutcomeHandler> outcomeHandlers;
    int status = 126;
    QList<std::chrono::milliseconds> waits;
    std::function<void()> whileWaiting;
};

inline void PrintTo(const PrivilegedLauncher::Outcome& outcome, std::ostream* out)
{
    *out << "outcome " << int(outcome.kind) << ", " << outcome.standardError.size() << " bytes <<"
         << outcome.standardError.first(std::min<qsizetype>(outcome.standardError.size(), 80))
                .toStdString()
         << ">>";
}

} // namespace calidra
