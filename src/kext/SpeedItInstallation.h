// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "kext" is the processor temperature driver; see docs/GLOSSARY.md.

namespace calidra {

/// The component check at start-up. On a machine whose model is on the Intel
/// model list, whose status script reports the component missing (0) and
/// where loading it can succeed (LoadableDriver over the registry's system
/// root: the module is there for the running kernel, drives this processor,
/// and no hypervisor hides the sensors), asks the user to load it: "Proceed" (the default) runs the
/// privileged install script and start-up goes on whatever becomes of it (a failure is told in an
/// alert once the script has ended); "Cancel and Quit" requests termination
/// (ApplicationTermination). Asks nothing and runs nothing on an unlisted model, without a list or
/// model, when the component is present, or where loading cannot succeed (start-up goes on into the
/// thermal zone or the no-reading state). The decision and its reason go to calidra.hardware's
/// debug log.
void initializeSpeedIt();

} // namespace calidra
