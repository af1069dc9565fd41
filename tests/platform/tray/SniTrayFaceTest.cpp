// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/SniTrayFace.h"

#include "DBusSignalRecorder.h"
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
#include <QMenu>
#include <QPixmap>
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
QByteArray expectedIcon(const StatusItem& item, bool labelHost, int side)
{
    return bigEndianArgb(
        labelHost ? item.image().pixmap(QSize(side, side), 1.0).toImage()
                  : TitleRenderer::render(item.values(), item.image(), side, 1.0, item.alarm()));
}

// A composite property with its D-Bus signature checked first.
template <typename T>
T composite(const QVariant& value, const char* signature)
{
    const auto argument = value.value<QDBusArgument>();
    EXPECT_EQ(argument.currentSignature(), QString::fromLatin1(signature));
    return qdbus_cast<T>(argument);
}

SniPixmapList pictures(const QVariantMap& properties, const QString& name = u"IconPixmap"_qs)
{
    return composite<SniPixmapList>(properties.value(name), "a(iiay)");
}

SniToolTip toolTip(const QVariantMap& properties)
{
    return composite<SniToolTip>(properties.value(u"ToolTip"_qs), "(sa(iiay)ss)");
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
                          const QVariantList& arguments, const QString& path = ItemPath)
    {
        waitUntil([&] { return m_panel.interface()->isServiceRegistered(service).value(); });
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
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
    QDBusConnection m_panel = m_bus.connect(u"panel"_qs);
    StatusItem m_item;
};

// Not connected: nothing is published. Without a watcher the item is there
// for a panel to find, and is not listed; a destroyed face leaves no object.
// Listing is the tray's and the registration's test.
TEST_F(SniTrayFaceTest, IsPublishedOnTheBus)
{
    const SniTrayFace disconnected(m_item, false, QDBusConnection(u"nowhere"_qs));
    EXPECT_TRUE(disconnected.serviceName().isEmpty() && !disconnected.isListed());
    auto face = std::make_unique<SniTrayFace>(m_item, false, m_itemBus);
    EXPECT_EQ(face->serviceName(), m_itemBus.baseService());
    EXPECT_EQ(properties(face->serviceName()).value(u"Id"_qs), u"calidra"_qs);
    EXPECT_FALSE(face->isListed());
    face.reset();
    EXPECT_EQ(m_itemBus.objectRegisteredAt(ItemPath), nullptr);
}

TEST_F(SniTrayFaceTest, PropertiesReadBackForEachKindOfHost)
{
    // The host, the title, the tooltip, then IconName, XAyatanaLabel,
    // XAyatanaLabelGuide, the tooltip's title and text, and the pictures.
    using Row = std::tuple<const char*, bool, StatusTitle, QString, QStringList, int>;
    const QIcon image = filledIcon(Qt::red);
    const StatusTitle twoValues = title({u"61℃"_qs, u"2.40 GHz"_qs}, image, u"100℃ 9.99 GHz"_qs);
    // clang-format off
    const Row rows[] = {
        {"icon only: the values are the icon", false, twoValues,
         u"61℃ 2.40 GHz\nLast ten minutes\n58℃ Average"_qs,
         {{}, {}, {}, u"Calidra: 61℃ 2.40 GHz"_qs, u"Last ten minutes\n58℃ Average"_qs}, 5},
        {"icon only without values or image", false, title({}), {}, {{}, {}, {}, u"Calidra"_qs, {}}, 5},
        {"label host: the values are the label", true, twoValues, {},
         {u"calidra"_qs, u"61℃ 2.40 GHz"_qs, u"100℃ 9.99 GHz"_qs, u"Calidra: 61℃ 2.40 GHz"_qs, {}}, 5},
        {"label host without values: the title on one line", true,
         {u"Calidra\nwaiting"_qs, QFont(), image, {}, {}}, {},
         {u"calidra"_qs, u"Calidra waiting"_qs, {}, u"Calidra: Calidra waiting"_qs, {}}, 5},
        {"label host without image: the label and a clear picture", true, title({u"61℃"_qs}), {},
         {{}, u"61℃"_qs, {}, u"Calidra: 61℃"_qs, {}}, 1},
        {"label host with an image that draws nothing", true,
         title({u"61℃"_qs}, QIcon(u"/nonexistent/calidra.png"_qs)), {},
         {u"calidra"_qs, u"61℃"_qs, {}, u"Calidra: 61℃"_qs, {}}, 0},
    };
    // clang-format on
    for (const auto& [name, labelHost, shown, toolTipText, texts, pictureCount] : rows) {
        SCOPED_TRACE(name);
        m_item.setTitle(shown);
        m_item.setToolTip(toolTipText);
        const SniTrayFace face(m_item, labelHost, m_itemBus);
        const QVariantMap read = properties(face.serviceName());
        const SniToolTip tip = toolTip(read);
        EXPECT_EQ(
            QStringList({read.value(u"IconName"_qs).toString(),
                         read.value(u"XAyatanaLabel"_qs).toString(),
                         read.value(u"XAyatanaLabelGuide"_qs).toString(), tip.title, tip.text}),
            texts);
        EXPECT_EQ(pictures(read).size(), pictureCount);
    }
}

TEST_F(SniTrayFaceTest, IconPixmapIsTheFaceAtEachSizeInBigEndianArgb)
{
    for (const bool labelHost : {false, true}) {
        SCOPED_TRACE(labelHost ? "label host" : "icon only");
        const SniTrayFace face(m_item, labelHost, m_itemBus);
        const SniPixmapList drawn = pictures(properties(face.serviceName()));
        ASSERT_EQ(drawn.size(), Sides.size());
        for (qsizetype i = 0; i < Sides.size(); ++i) {
            EXPECT_EQ(std::tuple(drawn[i].width, drawn[i].height, drawn[i].bytes),
                      std::tuple(Sides[i], Sides[i], expectedIcon(m_item, labelHost, Sides[i])));
        }
    }
    // A panel that scales the largest picture down gets its own size alone.
    const SniTrayFace small(m_item, false, m_itemBus, nullptr, {16});
    EXPECT_EQ(pictures(properties(small.serviceName())).size(), 1);
}

TEST_F(SniTrayFaceTest, SignalsGoOutOncePerChangeAPanelSees)
{
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
    // A change, then what a label host and an icon host hear.
    using Step =
        std::tuple<const char*, std::function<void(StatusItem&)>, QStringList, QStringList>;
    // clang-format off
    const Step steps[] = {
        {"another font only", setTitle(otherFont), {}, {}},
        {"the tooltip alone", [](StatusItem& item) { item.setToolTip(u"61℃ (avg 60℃)"_qs); }, {}, {}},
        {"a new value, with the tooltip changed before", setTitle(title({u"62℃"_qs}, image, u"100℃"_qs)),
         {u"XAyatanaNewLabel(62℃,100℃)"_qs, u"NewToolTip()"_qs}, {u"NewIcon()"_qs, u"NewToolTip()"_qs}},
        {"the same value in another unit", setTitle(title({u"142℉"_qs}, image, u"212℉"_qs)),
         {u"XAyatanaNewLabel(142℉,212℉)"_qs}, {u"NewIcon()"_qs}},
        {"the same values in another text", setTitle({u"142℉ "_qs, QFont(), image, {u"142℉"_qs}, u"212℉"_qs}), {}, {}},
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
        for (const auto& [name, change, labelHostHears, iconHostHears] : steps) {
            SCOPED_TRACE(std::string(labelHost ? "label host: " : "icon only: ") + name);
            change(item);
            // The answer to a read comes after every signal sent before it.
            const QVariantMap read = properties(face.serviceName());
            EXPECT_EQ(heard.take(), labelHost ? labelHostHears : iconHostHears);
            // Reads give what the item holds now, however quiet the panel was kept.
            EXPECT_EQ(toolTip(read).title, u"Calidra: "_qs + item.toolTip());
            const SniPixmapList drawn = pictures(read);
            ASSERT_FALSE(drawn.isEmpty());
            EXPECT_EQ(drawn[0].bytes, expectedIcon(item, labelHost, Sides[0]));
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
    const SniToolTip read = toolTip(properties(face.serviceName()));
    const QStringList sent = heard.take();
    EXPECT_EQ(sent.count(u"NewToolTip()"_qs), 20);
    EXPECT_EQ(sent.count(u"NewIcon()"_qs), 20);
    EXPECT_EQ(std::pair(read.title, read.text),
              std::pair(u"Calidra: 61℃"_qs, u"Last ten minutes"_qs));
    EXPECT_EQ(compositions, 1);
}

// A panel that opens the menu itself on one button sends Activate for the
// other: the item is activated; an item that does nothing then opens its
// menu. ContextMenu always opens the menu, brought onto the screen.
TEST_F(SniTrayFaceTest, ActivateActivatesAndContextMenuOpensTheMenuWhereThePanelAsks)
{
    // The method and its arguments, whether the item has something to do,
    // whether the menu opens, whether the item is activated.
    using Row = std::tuple<QString, QVariantList, bool, bool, bool>;
    // clang-format off
    const Row rows[] = {
        {u"Activate"_qs, {10, 20}, true, false, true},
        {u"Activate"_qs, {10, 20}, false, true, false},
        {u"ContextMenu"_qs, {30, 40}, true, true, false},
        {u"Activate"_qs, {INT_MIN, INT_MAX}, false, true, false},
        {u"SecondaryActivate"_qs, {10, 20}, true, false, false},
        {u"Scroll"_qs, {120, u"vertical"_qs}, true, false, false},
        {u"ProvideXdgActivationToken"_qs, {u"token"_qs}, true, false, false},
        {u"Activate"_qs, {u"x"_qs}, true, false, false}, // the wrong arguments
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
    for (const auto& [method, arguments, activatable, opens, activates] : rows) {
        SCOPED_TRACE(method.toStdString() + ' ' + QVariant(arguments).toString().toStdString());
        m_item.setActivationHandler(activatable
                                        ? std::function<void()>([&activations] { ++activations; })
                                        : std::function<void()>());
        validations = 0;
        activations = 0;
        callItem(face.serviceName(), ItemInterface, method, arguments);
        EXPECT_EQ(menu.isVisible(), opens);
        EXPECT_EQ(validations, opens ? 1 : 0);
        EXPECT_EQ(activations, activates ? 1 : 0);
        if (opens && arguments.first().toInt() >= 0) {
            EXPECT_EQ(menu.pos(), QPoint(arguments[0].toInt(), arguments[1].toInt()));
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
    const QString dbusmenu = u"com.canonical.dbusmenu"_qs;
    const auto labels = [&] {
        const QDBusMessage reply = callItem(face.serviceName(), dbusmenu, u"GetLayout"_qs,
                                            {0, -1, QStringList{u"label"_qs}}, u"/MenuBar"_qs);
        const auto root = qdbus_cast<DBusMenuLayoutItem>(reply.arguments().value(1));
        return QStringList{root.children.value(0).properties.value(u"label"_qs).toString(),
                           root.children.value(1).properties.value(u"label"_qs).toString()};
    };
    EXPECT_EQ(labels(), (QStringList{u"52.00℃ Average"_qs, u"Quit"_qs}));
    // A slot without arguments takes the signal, and the action's trigger counts.
    QAction counter;
    int updates = 0;
    QObject::connect(&counter, &QAction::triggered, [&updates] { ++updates; });
    ASSERT_TRUE(m_panel.connect(face.serviceName(), u"/MenuBar"_qs, dbusmenu,
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

} // namespace
} // namespace calidra
