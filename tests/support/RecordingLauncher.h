#pragma once

#include "platform/PrivilegedLauncher.h"

#include <QList>
#include <QStringList>

namespace calidra {

/// The privileged launcher of a test: records each launch (the tool, then its
/// arguments) and answers with `status`, by default that of a refused
/// password, so that callers show they do not depend on it.
class RecordingLauncher : public PrivilegedLauncher
{
public:
    int launch(const QString& tool, const QStringList& arguments) override
    {
        launches.append(QStringList{tool} + arguments);
        return status;
    }

    QList<QStringList> launches;
    int status = 126;
};

} // namespace calidra
