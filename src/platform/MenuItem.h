// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace calidra {

/// One item of a menu as its validation sees it: the tag that tells what it
/// is, and the title and indentation level that validation may change. The
/// tray menu copies them to and from its actions.
struct MenuItem
{
    int tag = 0;
    QString title;
    int indentationLevel = 0;
};

} // namespace calidra
