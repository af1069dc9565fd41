// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace calidra {

/// Makes Escape and Ctrl+W close `window` (its close(), so that its own
/// closing steps run) while it or one of its children has the focus.
void addCloseShortcuts(QWidget* window);

} // namespace calidra
