// SPDX-License-Identifier: GPL-3.0-or-later
#include "ValueTransformer.h"

#include <QHash>

namespace calidra {
namespace {

QHash<QString, std::shared_ptr<ValueTransformer>>& registry()
{
    static QHash<QString, std::shared_ptr<ValueTransformer>> transformers;
    return transformers;
}

} // namespace

ValueTransformer::~ValueTransformer() = default;

QMetaType ValueTransformer::transformedValueClass()
{
    return QMetaType::fromType<QString>();
}

bool ValueTransformer::allowsReverseTransformation()
{
    return false;
}

void ValueTransformer::setValueTransformer(std::shared_ptr<ValueTransformer> transformer,
                                           const QString& name)
{
    if (transformer) {
        registry().insert(name, std::move(transformer));
    } else {
        registry().remove(name);
    }
}

std::shared_ptr<ValueTransformer> ValueTransformer::valueTransformerForName(const QString& name)
{
    return registry().value(name);
}

} // namespace calidra
