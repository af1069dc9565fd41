// SPDX-License-Identifier: GPL-3.0-or-later
#include "IntelModels.h"

#include "platform/Bundle.h"
#include "platform/plist/PropertyList.h"

#include <QVariant>

namespace calidra {

bool IntelModels::isIntelModel(const std::optional<QString>& model)
{
    const Bundle* bundle = Bundle::mainBundle();
    if (!model || !bundle) {
        return false;
    }
    const std::optional<QString> path = bundle->pathForResource(u"IntelModels"_qs, u"plist"_qs);
    const std::optional<QVariantList> models =
        path ? PropertyList::arrayWithContentsOfFile(*path) : std::nullopt;
    for (const QVariant& listed : models.value_or(QVariantList())) {
        if (listed.typeId() == QMetaType::QString && listed.toString() == *model) {
            return true;
        }
    }
    return false;
}

} // namespace calidra
