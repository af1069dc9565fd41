// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "Intel" models are the listed processor vendors; see docs/GLOSSARY.md.

#include <QString>

#include <optional>

namespace calidra {

/// The Intel model list: the resource "IntelModels" of type "plist" in the
/// main bundle, a property list whose root is an array of machine model
/// identifiers. On a listed model both the temperature and the clock
/// frequency come from the processor temperature driver's kernel values.
class IntelModels
{
public:
    /// True exactly when the list holds a string equal to `model`, compared
    /// case-sensitively. The list is read afresh at every call. False for an
    /// absent model, no main bundle, a missing or unreadable list and a list
    /// whose root is not an array.
    static bool isIntelModel(const std::optional<QString>& model);
};

} // namespace calidra
