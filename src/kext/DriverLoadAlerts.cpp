// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriverLoadAlerts.h"

#include "hardware/IORegistryEntry.h"
#include "platform/ApplicationActivation.h"
#include "platform/Localization.h"

namespace calidra {
namespace {

using Kind = PrivilegedLauncher::Outcome::Kind;

// What failed and what to do instead, with "%@" where the load command goes.
const char* explanationKey(Kind kind)
{
    switch (kind) {
    case Kind::NotStarted:
        return QT_TRANSLATE_NOOP(
            "Calidra", "Calidra could not start pkexec, which asks for an administrator's "
                       "password. Install pkexec (the package \"pkexec\" or \"polkit\"), or load "
                       "the driver yourself in a terminal:\n\n%@");
    case Kind::NoAgent:
        return QT_TRANSLATE_NOOP(
            "Calidra", "No polkit authentication agent is running, so nothing could ask for an "
                       "administrator's password. Start your desktop's polkit agent (or install "
                       "one), or load the driver yourself in a terminal:\n\n%@");
    case Kind::NoAuthority:
        return QT_TRANSLATE_NOOP(
            "Calidra", "The polkit service, which decides who may act as an administrator, "
                       "could not be reached. Start it (or install polkit), or load the driver "
                       "yourself in a terminal:\n\n%@");
    case Kind::Dismissed:
        return QT_TRANSLATE_NOOP(
            "Calidra", "The password dialog was closed without a password. Calidra offers to "
                       "load the driver again at its next start; you can also load it yourself "
                       "in a terminal:\n\n%@");
    case Kind::NotAuthorized:
        return QT_TRANSLATE_NOOP(
            "Calidra", "The password was not accepted, or this user may not act as an "
                       "administrator. An administrator can load the driver in a terminal:\n\n%@");
    case Kind::Failed:
    case Kind::Succeeded:
        break;
    }
    return QT_TRANSLATE_NOOP(
        "Calidra", "The script that loads the driver failed. Load the driver yourself in a "
                   "terminal to see why:\n\n%@");
}

// The last line with text, where a failing command names what went wrong.
QString lastLine(const QByteArray& text)
{
    const QList<QByteArray> lines = text.trimmed().split('\n');
    return QString::fromUtf8(lines.last()).trimmed();
}

} // namespace

QString driverLoadCommand()
{
    const QString model = IORegistryEntry::machineModel().value_or(QString());
    if (model == u"GenuineIntel"_qs) {
        return u"sudo modprobe coretemp"_qs;
    }
    if (model == u"AuthenticAMD"_qs || model == u"HygonGenuine"_qs) {
        return u"sudo modprobe k10temp"_qs;
    }
    return localizedString(QT_TRANSLATE_NOOP("Calidra",
                                             "sudo modprobe coretemp    (Intel processors)\n"
                                             "sudo modprobe k10temp    (AMD processors)"));
}

std::optional<Alerts::Request> driverLoadFailureAlert(const PrivilegedLauncher::Outcome& outcome)
{
    if (outcome.kind == Kind::Succeeded) {
        return std::nullopt;
    }
    QString explanation =
        localizedString(explanationKey(outcome.kind)).replace(u"%@"_qs, driverLoadCommand());
    if (outcome.kind == Kind::Failed && !outcome.standardError.trimmed().isEmpty()) {
        explanation += u"\n\n"_qs + lastLine(outcome.standardError);
    }
    return Alerts::Request{localizedString(QT_TRANSLATE_NOOP(
                               "Calidra", "The processor's temperature driver was not loaded.")),
                           explanation,
                           {localizedString(QT_TRANSLATE_NOOP("Calidra", "OK"))},
                           false};
}

void tellDriverLoadOutcome(const PrivilegedLauncher::Outcome& outcome)
{
    if (const std::optional<Alerts::Request> alert = driverLoadFailureAlert(outcome)) {
        activateIgnoringOtherApps();
        Alerts::run(*alert);
    }
}

} // namespace calidra
