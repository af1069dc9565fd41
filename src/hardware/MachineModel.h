// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace calidra {

/// The machine model identifier of the system below a root: the device
/// tree's own model where the firmware has a device tree, otherwise the
/// processor vendor (what decides where an x86 PC's values come from).
/// Read anew at each call; nothing is kept. Failures are silent: absent.
class MachineModel
{
public:
    explicit MachineModel(QString systemRoot);

    /// The identifier with one terminating zero byte, as the root entry of
    /// "IOService" holds it in its "model" property: the device tree's
    /// "model" file (not followed when it is a link) with its trailing zero
    /// bytes cut to one, unless it is empty before them; otherwise the
    /// vendor of the first 4 KiB of /proc/cpuinfo with one zero byte added,
    /// unless that vendor is empty. Absent when neither gives one.
    std::optional<QByteArray> property() const;

    /// The identifier as text: property() without its terminating zero byte,
    /// decoded as kernel text.
    std::optional<QString> identifier() const;

private:
    std::optional<QByteArray> deviceTreeModel() const;
    std::optional<QByteArray> processorVendor() const;

    QByteArray m_systemRoot;
};

} // namespace calidra
