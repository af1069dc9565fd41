#include "SettingsPages.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <utility>
#include <vector>

namespace calidra {
namespace {

using Command = std::pair<QString, QStringList>;

// The settings tools of the common desktops, in the order they are tried.
std::vector<Command> commandsFor(SettingsPages::Page page)
{
    if (page == SettingsPages::Regional) {
        return {{u"gnome-control-center"_qs, {u"region"_qs}},
                {u"systemsettings"_qs, {u"kcm_regionandlang"_qs}},
                {u"cinnamon-settings"_qs, {u"region"_qs}}};
    }
    return {{u"gnome-control-center"_qs, {u"user-accounts"_qs}},
            {u"systemsettings"_qs, {u"kcm_users"_qs}},
            {u"cinnamon-settings"_qs, {u"user"_qs}}};
}

} // namespace

void SettingsPages::open(Page page)
{
    for (const auto& [program, arguments] : commandsFor(page)) {
        const QString path = QStandardPaths::findExecutable(program);
        if (!path.isEmpty()) {
            QProcess::startDetached(path, arguments);
            return;
        }
    }
}

} // namespace calidra
