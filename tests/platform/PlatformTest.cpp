// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureBundle.h"
#include "QtPrinters.h"
#include "platform/Alerts.h"
#include "platform/Localization.h"
#include "platform/SettingsPages.h"
#include "platform/qt/MessageBoxAlerts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTimer>
#include <QTranslator>
#include <gtest/gtest.h>

namespace calidra {
namespace {

// While one alert is up, asks for another, as a command arriving in its event loop would.
struct NestingAlerts : Alerts
{
    int runAlert(const Request& request) override
    {
        shown.append(request.messageText);
        if (shown.size() < 3) {
            nestedAnswers.append(Alerts::run({u"Nested"_qs, {}, {u"OK"_qs}, false}));
        }
        return 0;
    }
    QStringList shown;
    QList<int> nestedAnswers;
};

TEST(AlertsTest, AnAlertAskedForWhileOneIsUpIsNotShown)
{
    NestingAlerts alerts;
    EXPECT_EQ(Alerts::run({u"First"_qs, {}, {u"OK"_qs}, false}), 0);
    EXPECT_EQ(alerts.nestedAnswers, QList<int>{-1});
    EXPECT_EQ(Alerts::run({u"Second"_qs, {}, {u"OK"_qs}, false}), 0);
    EXPECT_EQ(alerts.shown, (QStringList{u"First"_qs, u"Second"_qs}));
}

TEST(MessageBoxAlertsTest, TextsAreLiteralReturnPressesTheFirstButtonAndEscapeCancel)
{
    const QStringList withCancel{u"Proceed"_qs, u"Cancel and Quit"_qs};
    // The buttons, critical look, the key, the icon, the answer (-1: the key left it open).
    const std::tuple<QStringList, bool, Qt::Key, QMessageBox::Icon, int> cases[] = {
        {withCancel, true, Qt::Key_Return, QMessageBox::Critical, 0},
        {withCancel, false, Qt::Key_Escape, QMessageBox::Information, 1},
        {{u"OK"_qs, u"Proceed Anyway"_qs}, false, Qt::Key_Escape, QMessageBox::Information, -1},
    };
    for (const auto& [buttons, critical, key, icon, answer] : cases) {
        SCOPED_TRACE(key);
        QStringList markup;
        QTimer::singleShot(0, [&, key = key, icon = icon] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            EXPECT_EQ(box->icon(), icon);
            for (const QLabel* label : box->findChildren<QLabel*>()) {
                if (label->textFormat() != Qt::PlainText) {
                    markup.append(label->text());
                }
            }
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(box, &press);
            if (box->isVisible()) {
                box->reject();
            }
        });
        EXPECT_EQ(MessageBoxAlerts().runAlert(
                      {u"<b>Title</b>"_qs, u"<i>not</i>\nmarkup"_qs, buttons, critical}),
                  answer);
        EXPECT_EQ(markup, QStringList());
    }
}

// Secret.plist lies beside the resource folder, reachable only through "/".
TEST(BundleTest, FindsOnlyRegularFilesInsideTheResourceFolder)
{
    FixtureBundle fixture;
    fixture.addResource(u"Table.plist"_qs, "x");
    fixture.addResource(u"Folder.plist/x"_qs, "x");
    fixture.tree.addFile(u"Calidra/Secret.plist"_qs, "x");
    EXPECT_EQ(fixture.bundle.pathForResource(u"Table"_qs, u"plist"_qs),
              fixture.tree.absolute(u"Calidra/Resources/Table.plist"_qs));
    for (const auto& [name, type] : {std::pair{u"Missing"_qs, u"plist"_qs},
                                     {u"Folder"_qs, u"plist"_qs},
                                     {u"../Secret"_qs, u"plist"_qs},
                                     {u"Folder"_qs, u"plist/../../Secret.plist"_qs},
                                     {u""_qs, u"plist"_qs},
                                     {u"/"_qs, u"plist"_qs},
                                     {u"."_qs, u"plist"_qs},
                                     {u".."_qs, u"plist"_qs},
                                     {u"Table.plist\u0000"_qs, u"plist"_qs}}) {
        EXPECT_FALSE(fixture.bundle.pathForResource(name, type)) << name.toStdString();
    }
}

struct FixedTranslator : QTranslator
{
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* key, const char*, int) const override
    {
        return QByteArrayView(context) == TranslationContext ? texts.value(key) : QString();
    }
    QHash<QByteArray, QString> texts;
};

TEST(LocalizationTest, FormatsAreTranslatedOnlyWhenTheirConversionsMatch)
{
    // The key, its translation (null: none), whether the format is translated.
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"%i weeks", "%i Wochen", true},
        {"%i week", "%s Woche", false},
        {"%i days", "Tage", false},
        {"Updating every %1.1f seconds", "Alle %1.2f Sekunden", false},
        {"%i of %1.1f", "%1.1f von %i", false},
        {"%i minutes", nullptr, false},
    };
    FixedTranslator translator;
    for (const auto& [key, translation, formatIsTranslated] : cases) {
        if (translation) {
            translator.texts.insert(key, QString::fromUtf8(translation));
        }
    }
    ASSERT_TRUE(QCoreApplication::installTranslator(&translator));
    for (const auto& [key, translation, formatIsTranslated] : cases) {
        const QString text = QString::fromUtf8(translation ? translation : key);
        EXPECT_EQ(localizedString(key), text) << key;
        EXPECT_EQ(localizedFormat(key), formatIsTranslated ? text : QString::fromUtf8(key)) << key;
    }
    QCoreApplication::removeTranslator(&translator);
}

// Another desktop's tool shows settings this one does not use.
TEST(SettingsPagesTest, OnlyTheCurrentDesktopsToolForThePageIsOffered)
{
    FixtureTree bin;
    for (const char* program :
         {"gnome-session-properties", "gnome-control-center", "xfce4-session-settings",
          "lxqt-config-session", "lxqt-config-locale", "systemsettings"}) {
        bin.addExecutable(QString::fromLatin1(program), {});
    }
    const QByteArray path = qgetenv("PATH");
    const auto restore = qScopeGuard([&path] {
        qputenv("PATH", path);
        qunsetenv("XDG_CURRENT_DESKTOP");
    });
    qputenv("PATH", bin.root().toUtf8());
    constexpr auto Autostart = SettingsPages::Autostart, Regional = SettingsPages::Regional;
    // The desktop, the page, the program offered (null: none) and its arguments.
    // clang-format off
    const std::tuple<const char*, SettingsPages::Page, const char*, QStringList> cases[] = {
        {"ubuntu:GNOME", Autostart, "gnome-session-properties", {}},
        {"GNOME", Regional, "gnome-control-center", {u"region"_qs}},
        {"KDE", Autostart, "systemsettings", {u"kcm_autostart"_qs}},
        {"KDE", Regional, "systemsettings", {u"kcm_regionandlang"_qs}},
        {"kde", Autostart, "systemsettings", {u"kcm_autostart"_qs}},
        {"LXQt", Regional, "lxqt-config-locale", {}},
        // These open on another page than the autostart list.
        {"LXQt", Autostart, nullptr, {}}, {"XFCE", Autostart, nullptr, {}},
        // Xfce has no regional settings; GNOME's would do nothing there.
        {"XFCE", Regional, nullptr, {}}, {"", Autostart, nullptr, {}}, {"sway", Regional, nullptr, {}},
    };
    // clang-format on
    for (const auto& [desktop, page, program, arguments] : cases) {
        SCOPED_TRACE(std::string(desktop) + (page == Regional ? " region" : ""));
        const auto command = SettingsPages::commandFor(page, QString::fromUtf8(desktop));
        ASSERT_EQ(command.has_value(), program != nullptr);
        if (command) {
            EXPECT_EQ(std::pair(command->program, command->arguments),
                      std::pair(bin.absolute(QString::fromLatin1(program)), arguments));
        }
    }
    qputenv("PATH", "/nonexistent");
    EXPECT_FALSE(SettingsPages::commandFor(Autostart, u"KDE"_qs));
    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    EXPECT_FALSE(SettingsPages::open(Autostart));
}

} // namespace
} // namespace calidra
