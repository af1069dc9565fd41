// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace calidra {

/// One entry step of a registry path, taken apart:
///   name                  children with that name;
///   name[n]               the n-th child (from 0) with that name;
///   name[@key]            children with that name that have property key;
///   name[@key='value']    children with that name whose property key is
///                         the text value.
/// A bracketed part that is not one of these forms is ignored, and so is
/// anything after a well-formed closing "]".
class XPathStep
{
public:
    enum class Form { Plain, Index, AttributePresent, AttributeValue };

    /// Parses an entry step; absent for a step with no name (one that
    /// begins with "[").
    static std::optional<XPathStep> parse(const QString& step);

    Form form() const { return m_form; }
    const QString& name() const { return m_name; }
    /// The property key of the attribute forms.
    const QString& key() const { return m_key; }
    /// The text that the property must equal, in the attribute-value form.
    const QString& value() const { return m_value; }
    /// The position of the index form; absent when the digits do not fit a
    /// number, which no child can reach.
    std::optional<quint64> index() const { return m_index; }

private:
    XPathStep() = default;

    Form m_form = Form::Plain;
    QString m_name;
    QString m_key;
    QString m_value;
    std::optional<quint64> m_index;
};

} // namespace calidra
