// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/DBusMenuExporter.h"

#include "BusTest.h"
#include "DBusSignalRecorder.h"
#include "platform/tray/DBusMenuAdaptor.h"

#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace calidra {
namespace {

const QString Path = u"/MenuBar"_qs, Interface = u"com.canonical.dbusmenu"_qs;
constexpr int Wait = 5000;

std::string describe(const QVariantMap& properties)
{
    QStringList pairs;
    for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
        pairs.append(it.key() + u'=' + it.value().toString());
    }
    return pairs.join(u' ').toStdString();
}

class DBusMenuExporterTest : public BusTest
{
protected:
    void SetUp() override
    {
        BusTest::SetUp();
        // As the status menu is: a disabled heading, indented information, separators, commands.
        m_menu->addAction(u"Last ten minutes"_qs)->setEnabled(false);
        for (const QString& text : {u"    CPU: 45 °C"_qs, u"    Fan: 1200 rpm"_qs, u"hidden"_qs}) {
            m_menu->addAction(text);
        }
        m_menu->actions()[3]->setVisible(false);
        m_menu->addSeparator();
        m_menu->addAction(u"&Preferences..."_qs);
        m_menu->addAction(u"Quit && un_install"_qs);
        m_exporter = std::make_unique<DBusMenuExporter>(
            m_menu.get(), [this] { m_validator(); }, m_server, Path);
        ASSERT_TRUE(IsSkipped() || m_exporter->isRegistered());
    }

    QDBusMessage message(const QString& method, const QVariantList& arguments) const
    {
        QDBusMessage call =
            QDBusMessage::createMethodCall(m_server.baseService(), Path, Interface, method);
        call.setArguments(arguments);
        return call;
    }

    // The exporter answers in the call's local event loop.
    QDBusMessage call(const QString& method, const QVariantList& arguments = {})
    {
        return m_panel.call(message(method, arguments), QDBus::BlockWithGui, Wait);
    }

    QList<DBusMenuItemProperties> group(const QList<int>& ids, const QString& name)
    {
        const QDBusMessage reply =
            call(u"GetGroupProperties"_qs, {QVariant::fromValue(ids), QStringList{name}});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return qdbus_cast<QList<DBusMenuItemProperties>>(reply.arguments().value(0));
    }

    DBusMenuLayoutItem layout(const QStringList& names = {})
    {
        const QDBusMessage reply = call(u"GetLayout"_qs, {0, -1, names});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.arguments().size() == 2 ? qdbus_cast<DBusMenuLayoutItem>(reply.arguments()[1])
                                             : DBusMenuLayoutItem{};
    }

    // The signals the panel hears: the first within five seconds, and those 200 ms after it.
    QStringList heard()
    {
        QStringList all;
        waitUntil([&] { return !(all += m_heard.take()).isEmpty(); });
        QTest::qWait(200);
        return all + m_heard.take();
    }

    DBusMenuAdaptor& adaptor() const { return *m_exporter->findChild<DBusMenuAdaptor*>(); }

    QDBusConnection m_server = m_bus.connect(u"exporter"_qs);
    QDBusConnection m_panel = m_bus.connect(u"panel"_qs);
    DBusSignalRecorder m_heard{m_panel, m_server.baseService(), Path, Interface};
    std::unique_ptr<QMenu> m_menu = std::make_unique<QMenu>();
    std::function<void()> m_validator = [] {};
    std::unique_ptr<DBusMenuExporter> m_exporter;
};

TEST_F(DBusMenuExporterTest, LayoutListsTheItemsInMenuOrderWithStableIds)
{
    const DBusMenuLayoutItem root = layout();
    EXPECT_EQ(root.id, 0);
    EXPECT_EQ(describe(root.properties), "children-display=submenu");
    const char* expected[] = {"enabled=false label=Last ten minutes",
                              "label=    CPU: 45 °C",
                              "label=    Fan: 1200 rpm",
                              "label=hidden visible=false",
                              "type=separator",
                              "label=_Preferences...",
                              "label=Quit & un__install"};
    ASSERT_EQ(root.children.size(), std::size(expected));
    QList<int> ids;
    for (qsizetype i = 0; i < root.children.size(); ++i) {
        EXPECT_EQ(describe(root.children[i].properties), expected[i]);
        EXPECT_GT(root.children[i].id, 0);
        EXPECT_FALSE(ids.contains(root.children[i].id));
        ids.append(root.children[i].id);
    }

    // Taking the first item away keeps the others' ids; a filter keeps the named properties.
    delete m_menu->actions().constFirst();
    const DBusMenuLayoutItem labels = layout({u"label"_qs});
    ASSERT_EQ(labels.children.size(), ids.size() - 1);
    EXPECT_EQ(labels.children[0].id, ids[1]);
    EXPECT_EQ(describe(labels.children[3].properties), "");
    const auto items = group({ids[3], 999}, u"visible"_qs);
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(describe(items[0].properties), "visible=false");
}

TEST_F(DBusMenuExporterTest, ChangesReachThePanelOnceAndOnlyWhenSomethingChanged)
{
    const QList<QAction*> actions = m_menu->actions();
    m_validator = [&] {
        actions[1]->setText(u"    CPU: 50 °C"_qs);
        actions[2]->setText(u"    Fan: 1200 rpm"_qs);
        actions[0]->setEnabled(true);
    };
    const int heading = layout().children[0].id, cpu = layout().children[1].id;
    QList<QList<DBusMenuItemProperties>> sent;
    QObject::connect(&adaptor(), &DBusMenuAdaptor::ItemsPropertiesUpdated,
                     [&](const auto& updated, const QList<DBusMenuItemKeys>& removed) {
                         sent.append(updated);
                         EXPECT_TRUE(removed.isEmpty());
                     });

    // The validator's changes go out in one signal ahead of the reply, with only what changed.
    EXPECT_EQ(call(u"AboutToShow"_qs, {0}).arguments().value(0), QVariant(true));
    EXPECT_EQ(describe(layout().children[1].properties), "label=    CPU: 50 °C");
    ASSERT_EQ(sent.size(), 1);
    QList<std::pair<int, std::string>> changes;
    for (const DBusMenuItemProperties& item : sent[0]) {
        changes.append({item.id, describe(item.properties)});
    }
    EXPECT_EQ(changes, (QList<std::pair<int, std::string>>{{heading, "enabled=true"},
                                                           {cpu, "label=    CPU: 50 °C"}}));
    EXPECT_EQ(heard(), QStringList{u"ItemsPropertiesUpdated(,)"_qs});
    EXPECT_EQ(call(u"AboutToShow"_qs, {0}).arguments().value(0), QVariant(false));
    // Changes outside a validation are batched; a change undone is none.
    actions[1]->setText(u"    CPU: 51 °C"_qs);
    actions[5]->setVisible(false);
    actions[2]->setText(u"    Fan: 0 rpm"_qs);
    actions[2]->setText(u"    Fan: 1200 rpm"_qs);
    EXPECT_EQ(heard(), QStringList{u"ItemsPropertiesUpdated(,)"_qs});
    EXPECT_EQ(sent.value(1).size(), 2);
}

TEST_F(DBusMenuExporterTest, OpeningWithoutAboutToShowRunsTheValidatorOnce)
{
    int runs = 0;
    m_validator = [&] { ++runs; };
    // The event ("" for AboutToShow) and the runs after; the first panel skips AboutToShow.
    const std::pair<QString, int> rows[] = {{u"opened"_qs, 1}, {u"opened"_qs, 1},
                                            {u"closed"_qs, 1}, {u""_qs, 2},
                                            {u"opened"_qs, 2}, {u"closed"_qs, 2}};
    for (const auto& [event, after] : rows) {
        SCOPED_TRACE(event.toStdString());
        const QDBusMessage reply =
            event.isEmpty()
                ? call(u"AboutToShow"_qs, {0})
                : call(u"Event"_qs, {0, event, QVariant::fromValue(QDBusVariant(0)), 0u});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage);
        EXPECT_EQ(runs, after);
    }
}

TEST_F(DBusMenuExporterTest, ClickTriggersTheActionAfterTheReply)
{
    QAction* preferences = m_menu->actions()[5];
    QDBusPendingCallWatcher watcher(m_panel.asyncCall(
        message(u"Event"_qs, {layout().children[5].id, u"clicked"_qs,
                              QVariant::fromValue(QDBusVariant(QString())), 0u})));
    // The command opens a modal loop, as a dialog would; the panel has its reply meanwhile.
    bool triggered = false, repliedBeforeCommandEnded = false;
    QObject::connect(preferences, &QAction::triggered, [&] {
        triggered = true;
        QEventLoop modal;
        QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &modal, &QEventLoop::quit);
        QTimer::singleShot(Wait, &modal, &QEventLoop::quit);
        if (!watcher.isFinished()) {
            modal.exec();
        }
        repliedBeforeCommandEnded = watcher.isFinished();
    });
    ASSERT_TRUE(waitUntil([&] { return triggered; }));
    EXPECT_TRUE(repliedBeforeCommandEnded);
    EXPECT_FALSE(watcher.isError());
}

TEST_F(DBusMenuExporterTest, AddedAndRemovedActionsUpdateTheLayoutOnce)
{
    const uint revision = call(u"GetLayout"_qs, {0, 0, QStringList()}).arguments()[0].toUInt();
    m_menu->addAction(u"About"_qs);
    m_menu->addAction(u"Quit"_qs);
    EXPECT_EQ(heard(), QStringList{u"LayoutUpdated(%1,0)"_qs.arg(revision + 1)});
    const DBusMenuLayoutItem root = layout();
    ASSERT_EQ(root.children.size(), 9);
    EXPECT_EQ(describe(root.children[8].properties), "label=Quit");

    // An action taken out and put back keeps its id; one added and deleted unheard is nothing.
    QAction* about = m_menu->actions()[7];
    m_menu->removeAction(about);
    m_menu->insertAction(m_menu->actions()[7], about);
    delete m_menu->addAction(u"Gone"_qs);
    QTest::qWait(200);
    EXPECT_EQ(m_heard.take(), QStringList());
    EXPECT_EQ(layout().children[7].id, root.children[7].id);
}

TEST_F(DBusMenuExporterTest, BadCallsAreRefusedOrIgnored)
{
    const int heading = layout().children[0].id;
    const QVariant data = QVariant::fromValue(QDBusVariant(0));
    const QVariant oddData = QVariant::fromValue(QDBusVariant(QVariant::fromValue(
        QList<DBusMenuItemProperties>{{1, {{u"x"_qs, QVariant::fromValue(QDBusVariant(2))}}}})));
    // clang-format off
    const struct { const char* name; QString method; QVariantList arguments; bool error; } rows[] = {
        {"layout of no item",       u"GetLayout"_qs,   {999, -1, QStringList()},                 true},
        {"property of no item",     u"GetProperty"_qs, {999, u"label"_qs},                       true},
        {"no such property",        u"GetProperty"_qs, {heading, u"icon-name"_qs},               true},
        {"event on no item",        u"Event"_qs,       {-1, u"clicked"_qs, data, 0u},            true},
        {"data not a variant",      u"Event"_qs,       {heading, u"clicked"_qs, 7, 0u},          true},
        {"event arguments missing", u"Event"_qs,       {heading, u"clicked"_qs},                 true},
        {"odd data",                u"Event"_qs,       {heading, u"hovered"_qs, oddData, 0u},    false},
        {"unknown event",           u"Event"_qs,       {0, u""_qs, data, 0u},                    false},
        {"about to show no item",   u"AboutToShow"_qs, {999},                                    true},
        {"group with no item",      u"EventGroup"_qs,
            {QVariant::fromValue(QList<DBusMenuEvent>{{999, u"clicked"_qs, QDBusVariant(0), 0}})},
            false},
        {"no such method",          u"Explode"_qs,     {},                                       true},
    };
    // clang-format on
    int triggered = 0;
    QObject::connect(m_menu.get(), &QMenu::triggered, [&] { ++triggered; });
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QDBusMessage reply = call(row.method, row.arguments);
        EXPECT_EQ(reply.type() == QDBusMessage::ErrorMessage, row.error)
            << reply.errorMessage().toStdString();
    }
    EXPECT_EQ(qdbus_cast<QList<int>>(
                  call(u"AboutToShowGroup"_qs, {QVariant::fromValue(QList<int>{0, 999})})
                      .arguments()
                      .value(1)),
              QList<int>{999});
    QCoreApplication::processEvents();
    EXPECT_EQ(triggered, 0);
    EXPECT_EQ(layout().children.size(), 7);
    // The menu deleted while exported: an empty root, and its ids are gone.
    m_menu.reset();
    EXPECT_EQ(std::pair(layout().id, layout().children.size()), std::pair(0, qsizetype(0)));
    EXPECT_EQ(call(u"Event"_qs, {heading, u"clicked"_qs, data, 0u}).type(),
              QDBusMessage::ErrorMessage);
}

TEST_F(DBusMenuExporterTest, RepeatsInOneCallAreAnsweredAndActedOnOnce)
{
    const auto items = group(QList<int>(1'000'000, layout().children[1].id), u"label"_qs);
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(describe(items[0].properties), "label=    CPU: 45 °C");
    EXPECT_TRUE(m_server.isConnected());
    EXPECT_EQ(layout().children.size(), 7);

    int validations = 0, clicks = 0;
    m_validator = [&validations] { ++validations; };
    QObject::connect(m_menu->actions()[5], &QAction::triggered, [&clicks] { ++clicks; });
    const int preferences = layout().children[5].id;

    QList<DBusMenuEvent> pairs;
    for (int i = 0; i < 100'000; ++i) {
        pairs.append({0, u"opened"_qs, QDBusVariant(0), 0});
        pairs.append({0, u"closed"_qs, QDBusVariant(0), 0});
    }
    EXPECT_TRUE(adaptor().EventGroup(pairs).isEmpty());
    EXPECT_EQ(validations, 1);

    QList<int> idErrors;
    EXPECT_TRUE(adaptor().AboutToShowGroup(QList<int>(1'000'000, 0), idErrors).isEmpty());
    EXPECT_TRUE(idErrors.isEmpty());
    EXPECT_EQ(validations, 2);

    EXPECT_TRUE(adaptor()
                    .EventGroup(QList<DBusMenuEvent>(
                        5'000, {preferences, u"clicked"_qs, QDBusVariant(0), 0}))
                    .isEmpty());
    EXPECT_EQ(adaptor().EventGroup({{999, u"clicked"_qs, QDBusVariant(0), 0},
                                    {999, u"opened"_qs, QDBusVariant(0), 0}}),
              QList<int>{999});
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1);
}

} // namespace
} // namespace calidra
