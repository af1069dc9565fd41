// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace calidra {

class UserDefaults;

/// Prepares the process-wide user defaults store for the run: registers the
/// fallbacks of Settings, turns each stored old key of Settings::Deprecated
/// (useFahrenheit) into its successor (displayUnit, overwriting a stored one)
/// and removes it, and stores the updater's check interval while
/// SUCheckAtStartup reads true, removing it otherwise. It also brings the
/// sampling interval into the range the preferences offer (removing one that
/// is not greater than 0, so that the fallback shows) and switches
/// gaugeTemperature back on while both gauges read off. Returns that store,
/// or null, doing nothing, when none exists. Called once per run, before any
/// default is read.
UserDefaults* _initializeUserDefaults();

/// Stores the updater's check interval (SUScheduledCheckInterval::whileChecking)
/// under SUScheduledCheckInterval while SUCheckAtStartup reads true and
/// removes it otherwise, writing only when the stored value is not that
/// already. Done at every start and by the preferences window whenever the
/// check is switched, so an interval stored by anyone else is replaced.
void applyUpdateCheckInterval(UserDefaults& defaults);

} // namespace calidra
