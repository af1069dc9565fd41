// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace calidra {

/// What a search that runs again and again found (the driver's channels, the
/// thermal zones, the clock's file), told at debug level through
/// calidra.hardware once per change: a search that finds what it found the
/// last time tells nothing, so that a machine without a sensor, searched at
/// every sample, does not log at every sample.
class SearchReport
{
public:
    /// Whether a report would be told: calidra.hardware's debug messages are
    /// on. A search composes its report only then.
    static bool isWanted();

    /// Tells "<subject>: <report>" unless `report` is what this object told
    /// last.
    void tell(const char* subject, const QString& report);

private:
    QString m_last;
};

} // namespace calidra
