// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/SniTrayFace.h"

#include "DBusSignalRecorder.h"
#include "FakeStatusNotifierWatcher.h"
#include "PrivateSessionBus.h"
#include "QtPrinters.h"
#include "WaitUntil.h"
#include "platform/tray/DBusMenuLayoutItem.h"
#include "platform/tray/SniPixmap.h"
#include "platform/tray/SniToolTip.h"
#include "platform/tray/StatusItem.h"
#include "platform/tray/TitleRenderer.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDeadlineTimer>
#include <QMenu>
#include <QPixmap>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>

namespace calidra {
namespace {

const QString ItemPath = u"/StatusNotifierItem"_qs;
const QString ItemInterface = u"org.kde.StatusNotifierItem"_qs;
const QList<int> Sides = {16, 22, 24, 32, 48};

QIcon filledIcon(const QColor& color)
{
    QPixmap pixmap(48, 48);
    pixmap.fill(color);
    return QIcon(pixmap);
}

StatusTitle title(const QStringList& values, const QIcon& image = {}, const QString& guide = {})
{
    return {values.join(u'\n'), QFont(), image, values, guide};
}

// Each pixel, not premultiplied, as alpha, red, green, blue bytes.
QByteArray bigEndianArgb(const QImage& face)
{
    const QImage image = face.convertToFormat(QImage::Format_ARGB32);
    QByteArray bytes;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            for (const int channel : {qAlpha(pixel), qRed(pixel), qGreen(pixel), qBlue(pixel)}) {
                bytes.append(char(channel));
            }
        }
    }
    return bytes;
}

// The picture a panel should get at `side`, drawn here.
QImage expectedIcon(const StatusItem& item, bool labelHost, int side)
{
    return labelHost ? item.image().pixmap(QSize(side, side), 1.0).toImage()
                     : TitleRenderer::render(item.values(), item.image(), side, 1.0, item.alarm());
}

class SniTrayFaceTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!m_bus.failure().isEmpty()) {
            GTEST_SKIP() << m_bus.failure().toStdString();
        }
        m_item.setTitle(title({u"61℃"_qs}, filledIcon(QColor(200, 100, 50)), u"100℃"_qs));
    }

    // The panel's calls run the event loop while they wait, since the item
    // answers from this thread too; what the answer queued runs after it.
    // The item's name is claimed without waiting, so it may come a bit later.
    QDBusMessage callItem(const QString& service, const QString& interface, const QString& method,
                          const QVariantList& arguments)
    {
        waitUntil([&] { return m_panel.interface()->isServiceRegistered(service).value(); });
        QDBusMessage call = QDBusMessage::createMethodCall(service, ItemPath, interface, method);
        call.setArguments(arguments);
        const QDBusMessage reply = m_panel.call(call, QDBus::BlockWithGui, 5000);
        QCoreApplication::processEvents();
        return reply;
    }

    QVariantMap properties(const QString& service)
    {
        const QDBusMessage reply =
            callItem(service, u"org.freedesktop.DBus.Properties"_qs, u"GetAll"_qs, {ItemInterface});
        return reply.arguments().isEmpty() ? QVariantMap()
                                           : qdbus_cast<QVariantMap>(reply.arguments().first());
    }

    PrivateSessionBus m_bus;
    QDBusConnection m_itemBus = m_bus.connect(u"item"_qs);
    QDBusConnection m_watcherBus = m_bus.connect(u"watcher"_qs);
    QDBusConnection m_panel = m_bus.connect(u"panel"_qs);
    StatusItem m_item;
};

// A composite property with its D-Bus signature checked first.
template <typename T>
T composite(const QVariant& value, const char* signature)
{
    const auto argument = value.value<QDBusArgument>();
    EXPECT_EQ(argument.currentSignature(), QString::fromLatin1(signature));
    return qdbus_cast<T>(argument);
}

// The watcher lists the item under the connection's own name and the path;
// a destroyed face leaves no object behind.
TEST_F(SniTrayFaceTest, IsListedByTheWatcherUnderItsConnectionAndPath)
{
    FakeStatusNotifierWatcher watcher(m_watcherBus);
    ASSERT_TRUE(watcher.isServing());
    auto face = std::make_unique<SniTrayFace>(m_item, false, m_itemBus);
    EXPECT_EQ(face->serviceName(), m_itemBus.baseService());
    EXPECT_TRUE(waitUntil([&] { return face->isListed(); }));
    EXPECT_EQ(watcher.registeredItems(), QStringList{m_itemBus.baseService() + ItemPath});
    EXPECT_EQ(watcher.registrations(), QStringList{ItemPath});

    face.reset();
    EXPECT_EQ(m_itemBus.objectRegisteredAt(ItemPath), nullptr);
    const SniTrayFace next(m_item, false, m_itemBus);
    EXPECT_TRUE(waitUntil([&] { return next.isListed(); }));
    EXPECT_EQ(watcher.registeredItems(), QStringList{m_itemBus.baseService() + ItemPath});
}

TEST_F(SniTrayFaceTest, PropertiesReadBackForEachKindOfHost)
{
    struct Row
    {
        const char* name;
        bool labelHost;
        StatusTitle title;
        QString toolTip;
        // IconName, XAyatanaLabel, XAyatanaLabelGuide, the tooltip's title
        // and its text.
        QStringList texts;
        int pictures;
    };
    const QIcon image = filledIcon(Qt::red);
    const StatusTitle twoValues = title({u"61℃"_qs, u"2.40 GHz"_qs}, image, u"100℃ 9.99 GHz"_qs);
    // clang-format off
    const Row rows[] = {
        {"icon only: the values are the icon", false, twoValues,
         u"61℃ 2.40 GHz\nLast ten minutes\n58℃ Average"_qs,
         {{}, {}, {}, u"Calidra: 61℃ 2.40 GHz"_qs, u"Last ten minutes\n58℃ Average"_qs}, 5},
        {"icon only without values or image", false, title({}), {},
         {{}, {}, {}, u"Calidra"_qs, {}}, 5},
        {"label host: the values are the label", true, twoValues, {},
         {u"calidra"_qs, u"61℃ 2.40 GHz"_qs, u"100℃ 9.99 GHz"_qs, u"Calidra: 61℃ 2.40 GHz"_qs,
          {}}, 5},
        {"label host without values: the title on one line", true,
         {u"Calidra\nwaiting"_qs, QFont(), image, {}, {}}, {},
         {u"calidra"_qs, u"Calidra waiting"_qs, {}, u"Calidra: Calidra waiting"_qs, {}}, 5},
        {"label host without image: the label and a clear picture", true, title({u"61℃"_qs}), {},
         {{}, u"61℃"_qs, {}, u"Calidra: 61℃"_qs, {}}, 1},
        {"label host with an image that draws nothing", true,
         title({u"61℃"_qs}, QIcon(u"/nonexistent/calidra.png"_qs)), {},
         {u"calidra"_qs, u"61℃"_qs, {}, u"Calidra: 61℃"_qs, {}}, 0},
    };
    const QVariantMap fixed = {
        {u"Category"_qs, u"Hardware"_qs}, {u"Id"_qs, u"calidra"_qs}, {u"Title"_qs, u"Calidra"_qs},
        {u"Status"_qs, u"Active"_qs}, {u"WindowId"_qs, 0}, {u"ItemIsMenu"_qs, true},
        {u"IconThemePath"_qs, QString()}, {u"OverlayIconName"_qs, QString()},
        {u"AttentionIconName"_qs, QString()}, {u"AttentionMovieName"_qs, QString()},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_item.setTitle(row.title);
        m_item.setToolTip(row.toolTip);
        const SniTrayFace face(m_item, row.labelHost, m_itemBus);
        const QVariantMap read = properties(face.serviceName());
        for (auto it = fixed.begin(); it != fixed.end(); ++it) {
            EXPECT_EQ(read.value(it.key()), it.value()) << it.key().toStdString();
        }
        EXPECT_EQ(read.value(u"Menu"_qs).value<QDBusObjectPath>().path(), u"/MenuBar"_qs);
        const auto toolTip = composite<SniToolTip>(read.value(u"ToolTip"_qs), "(sa(iiay)ss)");
        EXPECT_TRUE(toolTip.iconName.isEmpty());
        EXPECT_TRUE(toolTip.iconPixmaps.isEmpty());
        EXPECT_EQ(QStringList({read.value(u"IconName"_qs).toString(),
                               read.value(u"XAyatanaLabel"_qs).toString(),
                               read.value(u"XAyatanaLabelGuide"_qs).toString(), toolTip.title,
                               toolTip.text}),
                  row.texts);
        for (const char* name : {"IconPixmap", "OverlayIconPixmap", "AttentionIconPixmap"}) {
            const auto pictures =
                composite<SniPixmapList>(read.value(QString::fromLatin1(name)), "a(iiay)");
            EXPECT_EQ(pictures.size(), qstrcmp(name, "IconPixmap") == 0 ? row.pictures : 0) << name;
        }
    }
}

TEST_F(SniTrayFaceTest, IconPixmapIsTheFaceAtFiveSizesInBigEndianArgb)
{
    const QIcon image = filledIcon(QColor(200, 100, 50));
    m_item.setTitle(title({u"61℃"_qs}, image));
    for (const bool labelHost : {false, true}) {
        SCOPED_TRACE(labelHost ? "label host" : "icon only");
        const SniTrayFace face(m_item, labelHost, m_itemBus);
        const auto pictures = composite<SniPixmapList>(
            properties(face.serviceName()).value(u"IconPixmap"_qs), "a(iiay)");
        ASSERT_EQ(pictures.size(), Sides.size());
        for (qsizetype i = 0; i < Sides.size(); ++i) {
            const int side = Sides[i];
            EXPECT_EQ(pictures[i].width, side);
            EXPECT_EQ(pictures[i].height, side);
            EXPECT_EQ(pictures[i].bytes, bigEndianArgb(expectedIcon(m_item, labelHost, side)))
                << side;
        }
        if (labelHost) {
            EXPECT_EQ(pictures[0].bytes.left(4), QByteArray("\xff\xc8\x64\x32", 4));
        }
    }
    // A panel that scales the largest picture down gets its own size alone.
    const SniTrayFace small(m_item, false, m_itemBus, nullptr, {16});
    const auto pictures = composite<SniPixmapList>(
        properties(small.serviceName()).value(u"IconPixmap"_qs), "a(iiay)");
    ASSERT_EQ(pictures.size(), 1);
    EXPECT_EQ(pictures[0].bytes, bigEndianArgb(expectedIcon(m_item, false, 16)));
}

TEST_F(SniTrayFaceTest, SignalsGoOutOncePerChangeAPanelSees)
{
    struct Step
    {
        const char* name;
        std::function<void(StatusItem&)> change;
        QStringList labelHostHears;
        QStringList iconHostHears;
    };
    const QIcon image = filledIcon(QColor(200, 100, 50));
    const QIcon newImage = filledIcon(Qt::blue);
    const auto setTitle = [](StatusTitle title) {
        return [title](StatusItem& item) { item.setTitle(title); };
    };
    StatusTitle otherFont = title({u"61℃"_qs}, image, u"100℃"_qs);
    otherFont.font.setBold(true);
    StatusTitle alarm = title({u"142℉"_qs}, newImage, u"212℉"_qs);
    alarm.alarm = true;
    const auto setEnabled = [](bool enabled) {
        return [enabled](StatusItem& item) { item.setEnabled(enabled); };
    };
    // clang-format off
    const Step steps[] = {
        {"another font only", setTitle(otherFont), {}, {}},
        {"the tooltip alone", [](StatusItem& item) { item.setToolTip(u"61℃ (avg 60℃)"_qs); },
         {}, {}},
        {"a new value, with the tooltip changed before",
         setTitle(title({u"62℃"_qs}, image, u"100℃"_qs)),
         {u"XAyatanaNewLabel(62℃,100℃)"_qs, u"NewToolTip()"_qs},
         {u"NewIcon()"_qs, u"NewToolTip()"_qs}},
        {"the same value in another unit", setTitle(title({u"142℉"_qs}, image, u"212℉"_qs)),
         {u"XAyatanaNewLabel(142℉,212℉)"_qs}, {u"NewIcon()"_qs}},
        {"the same values in another text",
         setTitle({u"142℉ "_qs, QFont(), image, {u"142℉"_qs}, u"212℉"_qs}), {}, {}},
        {"a new image", setTitle(title({u"142℉"_qs}, newImage, u"212℉"_qs)),
         {u"NewIcon()"_qs}, {u"NewIcon()"_qs}},
        {"the alarm marks the label or the drawn face", setTitle(alarm),
         {u"XAyatanaNewLabel(\u26a0 142℉,\u26a0 212℉)"_qs}, {u"NewIcon()"_qs}},
        {"and the mark goes with it", setTitle(title({u"142℉"_qs}, newImage, u"212℉"_qs)),
         {u"XAyatanaNewLabel(142℉,212℉)"_qs}, {u"NewIcon()"_qs}},
        {"disabled", setEnabled(false), {u"NewStatus(Passive)"_qs}, {u"NewStatus(Passive)"_qs}},
        {"enabled", setEnabled(true), {u"NewStatus(Active)"_qs}, {u"NewStatus(Active)"_qs}},
    };
    // clang-format on
    for (const bool labelHost : {true, false}) {
        StatusItem item;
        item.setTitle(title({u"61℃"_qs}, image, u"100℃"_qs));
        item.setToolTip(u"61℃ (avg 61℃)"_qs);
        const SniTrayFace face(item, labelHost, m_itemBus);
        DBusSignalRecorder heard(m_panel, face.serviceName(), ItemPath, ItemInterface);
        ASSERT_TRUE(heard.isListening());
        // A round trip through the bus, so that it has the panel's match.
        properties(face.serviceName());
        for (const Step& step : steps) {
            SCOPED_TRACE(std::string(labelHost ? "label host: " : "icon only: ") + step.name);
            step.change(item);
            // The answer to a read comes after every signal sent before it.
            const QVariantMap read = properties(face.serviceName());
            EXPECT_EQ(heard.take(), labelHost ? step.labelHostHears : step.iconHostHears);
            // Reads give what the item holds now, however quiet the panel was kept.
            const auto toolTip = composite<SniToolTip>(read.value(u"ToolTip"_qs), "(sa(iiay)ss)");
            EXPECT_EQ(toolTip.title, u"Calidra: "_qs + item.toolTip());
            const auto pictures = composite<SniPixmapList>(read.value(u"IconPixmap"_qs), "a(iiay)");
            ASSERT_FALSE(pictures.isEmpty());
            EXPECT_EQ(pictures[0].bytes, bigEndianArgb(expectedIcon(item, labelHost, Sides[0])));
        }
    }
}

// A panel that never reads the tooltip costs no composition of it; one that
// hears of the change with the title reads the tooltip of that moment.
TEST_F(SniTrayFaceTest, TheTooltipIsComposedOnlyWhenAPanelReadsIt)
{
    const SniTrayFace face(m_item, false, m_itemBus);
    DBusSignalRecorder heard(m_panel, face.serviceName(), ItemPath, ItemInterface);
    ASSERT_TRUE(heard.isListening());
    properties(face.serviceName());
    int compositions = 0;
    for (int tick = 0; tick < 20; ++tick) {
        const QString value = QString::number(60 + tick % 2) + u"℃"_qs;
        m_item.setTitle(title({value}), [&compositions, value] {
            ++compositions;
            return value + u"\nLast ten minutes"_qs;
        });
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(compositions, 0);

    // The answer to a read comes after every signal sent before it.
    const auto toolTip =
        composite<SniToolTip>(properties(face.serviceName()).value(u"ToolTip"_qs), "(sa(iiay)ss)");
    const QStringList sent = heard.take();
    EXPECT_EQ(sent.count(u"NewToolTip()"_qs), 20);
    EXPECT_EQ(sent.count(u"NewIcon()"_qs), 20);
    EXPECT_EQ(toolTip.title, u"Calidra: 61℃"_qs);
    EXPECT_EQ(toolTip.text, u"Last ten minutes"_qs);
    EXPECT_EQ(compositions, 1);
}

// A panel that opens the menu itself on one button sends Activate for the
// other: the item is activated; an item that does nothing then opens its
// menu. ContextMenu always opens the menu.
TEST_F(SniTrayFaceTest, ActivateActivatesAndContextMenuOpensTheMenuWhereThePanelAsks)
{
    struct Row
    {
        const char* name;
        QString method;
        QVariantList arguments;
        bool activatable;
        bool opens;
        bool activates;
    };
    // clang-format off
    const Row rows[] = {
        {"Activate",                  u"Activate"_qs,    {10, 20},          true,  false, true},
        {"Activate, nothing to do",   u"Activate"_qs,    {10, 20},          false, true,  false},
        {"ContextMenu",               u"ContextMenu"_qs, {30, 40},          true,  true,  false},
        {"Activate off every screen", u"Activate"_qs,    {INT_MIN, INT_MAX}, false, true, false},
        {"SecondaryActivate", u"SecondaryActivate"_qs, {10, 20},            true,  false, false},
        {"Scroll", u"Scroll"_qs, {120, u"vertical"_qs},                     true,  false, false},
        {"ProvideXdgActivationToken", u"ProvideXdgActivationToken"_qs, {u"token"_qs}, true, false,
         false},
        {"Activate with the wrong arguments", u"Activate"_qs, {u"x"_qs},    true,  false, false},
    };
    // clang-format on
    QMenu menu;
    menu.addAction(u"Quit"_qs);
    int validations = 0;
    int activations = 0;
    m_item.setMenuValidator([&validations] { ++validations; });
    const SniTrayFace face(m_item, false, m_itemBus);
    // The face follows the item to its newest menu.
    m_item.setMenu(&menu);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_item.setActivationHandler(row.activatable
                                        ? std::function<void()>([&activations] { ++activations; })
                                        : std::function<void()>());
        validations = 0;
        activations = 0;
        callItem(face.serviceName(), ItemInterface, row.method, row.arguments);
        EXPECT_EQ(menu.isVisible(), row.opens);
        EXPECT_EQ(validations, row.opens ? 1 : 0);
        EXPECT_EQ(activations, row.activates ? 1 : 0);
        if (row.opens && row.arguments.first().toInt() >= 0) {
            EXPECT_EQ(menu.pos(), QPoint(row.arguments[0].toInt(), row.arguments[1].toInt()));
        }
        menu.hide();
    }
    m_item.setActivationHandler({});
    m_item.setMenu(nullptr);
    validations = 0;
    const QDBusMessage reply = callItem(face.serviceName(), ItemInterface, u"Activate"_qs, {1, 2});
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(validations, 0);
}

// Panels lay the menu out from their first read and open it with the texts
// they hold before asking for fresh ones: every item has its text from the
// start, and new texts are sent as the values change.
TEST_F(SniTrayFaceTest, TheMenuIsExportedFilledAndKeptCurrent)
{
    QMenu menu;
    QAction* average = menu.addAction(QString());
    menu.addAction(u"Quit"_qs);
    QString text = u"52.00℃ Average"_qs;
    m_item.setMenu(&menu);
    m_item.setMenuValidator([&] { average->setText(text); });
    const SniTrayFace face(m_item, false, m_itemBus);
    const auto labels = [&] {
        QDBusMessage call = QDBusMessage::createMethodCall(
            face.serviceName(), u"/MenuBar"_qs, u"com.canonical.dbusmenu"_qs, u"GetLayout"_qs);
        call.setArguments({0, -1, QStringList{u"label"_qs}});
        const QDBusMessage reply = m_panel.call(call, QDBus::BlockWithGui, 5000);
        QStringList texts;
        if (reply.arguments().size() == 2) {
            for (const auto& child :
                 qdbus_cast<DBusMenuLayoutItem>(reply.arguments()[1]).children) {
                texts.append(child.properties.value(u"label"_qs).toString());
            }
        }
        return texts;
    };
    EXPECT_EQ(labels(), (QStringList{u"52.00℃ Average"_qs, u"Quit"_qs}));

    // A slot without arguments takes the signal, and the action's trigger counts.
    QAction counter;
    int updates = 0;
    QObject::connect(&counter, &QAction::triggered, [&updates] { ++updates; });
    ASSERT_TRUE(m_panel.connect(face.serviceName(), u"/MenuBar"_qs, u"com.canonical.dbusmenu"_qs,
                                u"ItemsPropertiesUpdated"_qs, &counter, SLOT(trigger())));
    labels();
    // A burst of samples sends new texts once, ten seconds later at most.
    text = u"53.50℃ Average"_qs;
    for (int sample = 0; sample < 5; ++sample) {
        m_item.announceMenuContentChanged();
    }
    EXPECT_TRUE(waitUntil([&] { return updates == 1; }, 12000));
    EXPECT_EQ(labels(), (QStringList{u"53.50℃ Average"_qs, u"Quit"_qs}));
    EXPECT_EQ(updates, 1);
    m_item.setMenu(nullptr);
}

// Not connected: nothing is published. Without a watcher the item is there
// for a panel to find, and is not listed.
TEST_F(SniTrayFaceTest, PublishesWithoutAWatcherAndNotWithoutABus)
{
    const SniTrayFace disconnected(m_item, false, QDBusConnection(u"nowhere"_qs));
    EXPECT_EQ(disconnected.serviceName(), QString());
    EXPECT_FALSE(disconnected.isListed());

    const SniTrayFace alone(m_item, false, m_itemBus);
    EXPECT_EQ(properties(alone.serviceName()).value(u"Id"_qs), u"calidra"_qs);
    EXPECT_FALSE(alone.isListed());
}

} // namespace
} // namespace calidra
