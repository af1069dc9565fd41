// SPDX-License-Identifier: GPL-3.0-or-later
#include "XPathStep.h"

#include "text/CSRegex.h"

namespace calidra {
namespace {

// Groups: 1 name, 2 bracketed selector, 3 its content, 4 filter key,
// 5 "=" with the quoted value, 6 the value.
const CSRegex& stepExpression()
{
    static const CSRegex expression(u"^([^[]+)(\\[([0-9]+|@([^=]+)(='(.*)')?)])?"_qs);
    return expression;
}

} // namespace

std::optional<XPathStep> XPathStep::parse(const QString& step)
{
    const std::optional<QStringList> groups = stepExpression().capturedSubstringsOfString(step);
    if (!groups || groups->size() < 7) {
        return std::nullopt;
    }
    XPathStep parsed;
    parsed.m_name = groups->at(1);
    if (!groups->at(4).isEmpty()) {
        parsed.m_key = groups->at(4);
        parsed.m_value = groups->at(6);
        parsed.m_form = groups->at(5).isEmpty() ? Form::AttributePresent : Form::AttributeValue;
    } else if (!groups->at(2).isEmpty()) {
        bool fits = false;
        const quint64 index = groups->at(3).toULongLong(&fits);
        parsed.m_index = fits ? std::optional<quint64>(index) : std::nullopt;
        parsed.m_form = Form::Index;
    }
    return parsed;
}

} // namespace calidra
