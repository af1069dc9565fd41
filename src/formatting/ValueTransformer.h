// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "ValueTransformer" is a number-to-text formatter; see docs/GLOSSARY.md.

#include <QMetaType>
#include <QString>
#include <QVariant>

#include <memory>

namespace calidra {

/// A one-way formatter from a number, or none, to the text the user sees.
/// Transformers can be registered under a name in a process-wide registry,
/// where they stay for the life of the process. For the main thread only.
class ValueTransformer
{
public:
    virtual ~ValueTransformer();

    /// The type of every result: text.
    static QMetaType transformedValueClass();

    /// Whether text can be turned back into a number: never.
    static bool allowsReverseTransformation();

    /// The text for value; an invalid QVariant means there is no input.
    virtual QString transformedValue(const QVariant& value) const = 0;

    /// Registers transformer under name, replacing any transformer registered
    /// under it before; a null transformer clears the name.
    static void setValueTransformer(std::shared_ptr<ValueTransformer> transformer,
                                    const QString& name);

    /// The transformer registered under name; null when there is none.
    static std::shared_ptr<ValueTransformer> valueTransformerForName(const QString& name);
};

} // namespace calidra
