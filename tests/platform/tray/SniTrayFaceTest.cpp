// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/SniTrayFace.h"

#include "BusTest.h"
#include "DBusSignalRecorder.h"
#include "QtPrinters.h"
#include "platform/tray/DBusMenuLayoutItem.h"
#include "platform/tray/SniPixmap.h"
#include "platform/tray/SniToolTip.h"
#include "platform/tray/StatusItem.h"
#include "platform/tray/TitleRenderer.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QMenu>
#include <QtEndian>
#include <gtest/gtest.h>

#include <climits>

namespace calidra {
namespace {

const QString ItemPath = u"/StatusNotifierItem"_qs,
              ItemInterface = u"org.kde.StatusNotifierItem"_qs;
const QList<int> Sides = {16, 22, 24, 32, 48};

QIcon filled(const QColor& color)
{
    QPixmap pixmap(48, 48);
    pixmap.fill(color);
    return QIcon(pixmap);
}

StatusTitle title(const QStringList& values, const QIcon& image = {}, const QString& guide = {})
{
    return {values.join(u'\n'), QFont(), image, values, guide};
}

// The picture a panel should get at `side`, drawn here, as big-endian ARGB not premultiplied.
QByteArray expectedIcon(const StatusItem& item, bool labelHost, int side)
{
    const QImage image =
        (labelHost ? item.image().pixmap(QSize(side, side), 1.0).toImage()
                   : TitleRenderer::render(item.values(), item.image(), side, 1.0, item.alarm()))
            .convertToFormat(QImage::Format_ARGB32);
    QByteArray bytes(image.width() * image.height() * 4, '\0');
    qToBigEndian<quint32>(image.constBits(), image.width() * image.height(), bytes.data());
    return bytes;
}

// A composite property, with its D-Bus signature checked first.
template <typename T>
T composite(const QVariantMap& properties, const char* name, const char* signature)
{
    const auto argument = properties.value(QLatin1String(name)).value<QDBusArgument>();
    EXPECT_EQ(argument.currentSignature(), QString::fromLatin1(signature));
    return qdbus_cast<T>(argument);
}

constexpr auto pictures = [](const QVariantMap& read) {
    return composite<SniPixmapList>(read, "IconPixmap", "a(iiay)");
};
constexpr auto toolTip = [](const QVariantMap& read) {
    return composite<SniToolTip>(read, "ToolTip", "(sa(iiay)ss)");
};

class SniTrayFaceTest : public BusTest
{
protected:
    void SetUp() override
    {
        BusTest::SetUp();
        m_item.setTitle(title({u"61℃"_qs}, filled(QColor(200, 100, 50)), u"100℃"_qs));
    }

    // The item answers in the call's event loop; the name is claimed without waiting.
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
        const QVariantList reply =
            callItem(service, u"org.freedesktop.DBus.Properties"_qs, u"GetAll"_qs, {ItemInterface})
                .arguments();
        return reply.isEmpty() ? QVariantMap() : qdbus_cast<QVariantMap>(reply.first());
    }

    QDBusConnection m_itemBus = m_bus.connect(u"item"_qs);
    QDBusConnection m_panel = m_bus.connect(u"panel"_qs);
    StatusItem m_item;
};

TEST_F(SniTrayFaceTest, IsPublishedOnTheBusUnlistedWithoutAWatcherAndGoneWhenDestroyed)
{
    const SniTrayFace disconnected(m_item, false, QDBusConnection(u"nowhere"_qs));
    EXPECT_TRUE(disconnected.serviceName().isEmpty() && !disconnected.isListed());
    auto face = std::make_unique<SniTrayFace>(m_item, false, m_itemBus);
    EXPECT_EQ(face->serviceName(), m_itemBus.baseService());
    EXPECT_EQ(properties(face->serviceName()).value(u"Id"_qs), u"calidra"_qs);
    EXPECT_FALSE(face->isListed());
    face.reset();
    EXPECT_EQ(m_itemBus.objectRegisteredAt(ItemPath), nullptr);
    // A panel that scales the largest picture down gets its own size alone.
    const SniTrayFace small(m_item, false, m_itemBus, nullptr, {16});
    EXPECT_EQ(pictures(properties(small.serviceName())).size(), 1);
}

TEST_F(SniTrayFaceTest, PropertiesReadBackForEachKindOfHost)
{
    // IconName, XAyatanaLabel, XAyatanaLabelGuide, the tooltip's title and text; the pictures.
    using Row = std::tuple<const char*, bool, StatusTitle, QString, QStringList, int>;
    const QIcon image = filled(Qt::red);
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
        const auto text = [&read](const char* key) {
            return read.value(QLatin1String(key)).toString();
        };
        EXPECT_EQ(QStringList({text("IconName"), text("XAyatanaLabel"), text("XAyatanaLabelGuide"),
                               tip.title, tip.text}),
                  texts);
        const SniPixmapList drawn = pictures(read);
        ASSERT_EQ(drawn.size(), pictureCount);
        for (qsizetype i = 0; pictureCount == Sides.size() && i < Sides.size(); ++i) {
            EXPECT_EQ(std::tuple(drawn[i].width, drawn[i].height, drawn[i].bytes),
                      std::tuple(Sides[i], Sides[i], expectedIcon(m_item, labelHost, Sides[i])));
        }
    }
}

TEST_F(SniTrayFaceTest, SignalsGoOutOncePerChangeAPanelSees)
{
    const QIcon image = filled(QColor(200, 100, 50)), newImage = filled(Qt::blue);
    const auto set = [](StatusTitle title) {
        return [title](StatusItem& item) { item.setTitle(title); };
    };
    const auto enable = [](bool on) { return [on](StatusItem& item) { item.setEnabled(on); }; };
    StatusTitle otherFont = title({u"61℃"_qs}, image, u"100℃"_qs);
    otherFont.font.setBold(true);
    StatusTitle alarm = title({u"142℉"_qs}, newImage, u"212℉"_qs);
    alarm.alarm = true;
    // A change, then what a label host and an icon host hear.
    using Step =
        std::tuple<const char*, std::function<void(StatusItem&)>, QStringList, QStringList>;
    // clang-format off
    const Step steps[] = {
        {"another font only", set(otherFont), {}, {}},
        {"the tooltip alone", [](StatusItem& item) { item.setToolTip(u"61℃ (avg 60℃)"_qs); }, {}, {}},
        {"a new value, with the tooltip changed before", set(title({u"62℃"_qs}, image, u"100℃"_qs)),
         {u"XAyatanaNewLabel(62℃,100℃)"_qs, u"NewToolTip()"_qs}, {u"NewIcon()"_qs, u"NewToolTip()"_qs}},
        {"the same value in another unit", set(title({u"142℉"_qs}, image, u"212℉"_qs)),
         {u"XAyatanaNewLabel(142℉,212℉)"_qs}, {u"NewIcon()"_qs}},
        {"the same values in another text", set({u"142℉ "_qs, QFont(), image, {u"142℉"_qs}, u"212℉"_qs}), {}, {}},
        {"a new image", set(title({u"142℉"_qs}, newImage, u"212℉"_qs)), {u"NewIcon()"_qs}, {u"NewIcon()"_qs}},
        {"the alarm marks the label or the drawn face", set(alarm),
         {u"XAyatanaNewLabel(\u26a0 142℉,\u26a0 212℉)"_qs}, {u"NewIcon()"_qs}},
        {"and the mark goes with it", set(title({u"142℉"_qs}, newImage, u"212℉"_qs)),
         {u"XAyatanaNewLabel(142℉,212℉)"_qs}, {u"NewIcon()"_qs}},
        {"disabled", enable(false), {u"NewStatus(Passive)"_qs}, {u"NewStatus(Passive)"_qs}},
        {"enabled", enable(true), {u"NewStatus(Active)"_qs}, {u"NewStatus(Active)"_qs}},
    };
    // clang-format on
    for (const bool labelHost : {true, false}) {
        StatusItem item;
        item.setTitle(title({u"61℃"_qs}, image, u"100℃"_qs));
        item.setToolTip(u"61℃ (avg 61℃)"_qs);
        const SniTrayFace face(item, labelHost, m_itemBus);
        DBusSignalRecorder heard(m_panel, face.serviceName(), ItemPath, ItemInterface);
        ASSERT_TRUE(heard.isListening());
        properties(face.serviceName()); // a round trip, so that the bus has the panel's match
        for (const auto& [name, change, labelHostHears, iconHostHears] : steps) {
            SCOPED_TRACE(std::string(labelHost ? "label host: " : "icon only: ") + name);
            change(item);
            // The answer to a read comes after every signal sent before it.
            const QVariantMap read = properties(face.serviceName());
            EXPECT_EQ(heard.take(), labelHost ? labelHostHears : iconHostHears);
            EXPECT_EQ(toolTip(read).title, u"Calidra: "_qs + item.toolTip());
            const SniPixmapList drawn = pictures(read);
            ASSERT_FALSE(drawn.isEmpty());
            EXPECT_EQ(drawn[0].bytes, expectedIcon(item, labelHost, Sides[0]));
        }
    }
}

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
    EXPECT_EQ(std::pair(sent.count(u"NewToolTip()"_qs), sent.count(u"NewIcon()"_qs)),
              std::pair(qsizetype(20), qsizetype(20)));
    EXPECT_EQ(std::pair(read.title, read.text),
              std::pair(u"Calidra: 61℃"_qs, u"Last ten minutes"_qs));
    properties(face.serviceName()); // composed once however often it is read
    EXPECT_EQ(compositions, 1);
    m_item.setToolTip(QString());
    EXPECT_FALSE(m_item.hasToolTip());
}

// A panel that opens the menu itself on one button sends Activate for the other; an item
// that does nothing then opens its menu.
TEST_F(SniTrayFaceTest, ActivateActivatesAndContextMenuOpensTheMenuWhereThePanelAsks)
{
    // The call, whether the item has something to do, whether the menu opens, it is activated.
    // clang-format off
    const std::tuple<QString, QVariantList, bool, bool, bool> rows[] = {
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
    int validations = 0, activations = 0;
    m_item.setMenuValidator([&validations] { ++validations; });
    const SniTrayFace face(m_item, false, m_itemBus);
    m_item.setMenu(&menu); // the face follows the item to its newest menu
    for (const auto& [method, arguments, activatable, opens, activates] : rows) {
        SCOPED_TRACE(method.toStdString() + ' ' + QVariant(arguments).toString().toStdString());
        m_item.setActivationHandler(activatable
                                        ? std::function<void()>([&activations] { ++activations; })
                                        : std::function<void()>());
        validations = activations = 0;
        callItem(face.serviceName(), ItemInterface, method, arguments);
        EXPECT_EQ(std::tuple(menu.isVisible(), validations, activations),
                  std::tuple(opens, opens ? 1 : 0, activates ? 1 : 0));
        if (opens && arguments.first().toInt() >= 0) {
            EXPECT_EQ(menu.pos(), QPoint(arguments[0].toInt(), arguments[1].toInt()));
        }
        menu.hide();
    }
    m_item.setActivationHandler({});
    m_item.setMenu(nullptr);
    validations = 0;
    EXPECT_EQ(callItem(face.serviceName(), ItemInterface, u"Activate"_qs, {1, 2}).type(),
              QDBusMessage::ReplyMessage);
    EXPECT_EQ(validations, 0);
}

// Panels lay the menu out from their first read and open it with the texts they hold.
TEST_F(SniTrayFaceTest, TheMenuIsExportedFilledAndKeptCurrent)
{
    QMenu menu;
    QAction* average = menu.addAction(QString());
    QString text = u"52.00℃ Average"_qs;
    m_item.setMenu(&menu);
    m_item.setMenuValidator([&] { average->setText(text); });
    const SniTrayFace face(m_item, false, m_itemBus);
    const QString dbusmenu = u"com.canonical.dbusmenu"_qs;
    const auto label = [&] {
        return qdbus_cast<DBusMenuLayoutItem>(
                   callItem(face.serviceName(), dbusmenu, u"GetLayout"_qs,
                            {0, -1, QStringList{u"label"_qs}}, u"/MenuBar"_qs)
                       .arguments()
                       .value(1))
            .children.value(0)
            .properties.value(u"label"_qs);
    };
    EXPECT_EQ(label(), u"52.00℃ Average"_qs);
    QAction counter; // a slot without arguments takes the signal
    int updates = 0;
    QObject::connect(&counter, &QAction::triggered, [&updates] { ++updates; });
    ASSERT_TRUE(m_panel.connect(face.serviceName(), u"/MenuBar"_qs, dbusmenu,
                                u"ItemsPropertiesUpdated"_qs, &counter, SLOT(trigger())));
    label();
    // A burst of samples sends new texts once, ten seconds later at most.
    text = u"53.50℃ Average"_qs;
    for (int sample = 0; sample < 5; ++sample) {
        m_item.announceMenuContentChanged();
    }
    EXPECT_TRUE(waitUntil([&] { return updates == 1; }, 12000));
    EXPECT_EQ(label(), u"53.50℃ Average"_qs);
    EXPECT_EQ(updates, 1);
    m_item.setMenu(nullptr);
}

TEST(StatusItemTest, TitleAndTooltipTogetherAreOneAnnouncement)
{
    using Change = std::function<void(StatusItem&)>;
    const auto set = [](const QString& value, bool withToolTip) -> Change {
        return [=](StatusItem& item) {
            item.setTitle(title({value}), withToolTip ? [] { return u"statistics"_qs; }
                                                      : std::function<QString()>());
        };
    };
    const auto setToolTip = [](const QString& text) -> Change {
        return [=](StatusItem& item) { item.setToolTip(text); };
    };
    // clang-format off
    const std::tuple<const char*, Change, QStringList> rows[] = {
        {"a new title and a tooltip", set(u"62℃"_qs, true), {u"title"_qs}},
        {"the same title and a tooltip", set(u"61℃"_qs, true), {u"tooltip"_qs}},
        {"a new title alone", set(u"62℃"_qs, false), {u"title"_qs}},
        {"the same title alone", set(u"61℃"_qs, false), {}},
        {"the same tooltip text", setToolTip(u"before"_qs), {}},
        {"another tooltip text", setToolTip(u"after"_qs), {u"tooltip"_qs}},
    };
    // clang-format on
    for (const auto& [name, change, heard] : rows) {
        SCOPED_TRACE(name);
        StatusItem item;
        item.setTitle(title({u"61℃"_qs}));
        item.setToolTip(u"before"_qs);
        QStringList announced;
        QObject::connect(&item, &StatusItem::titleChanged, [&] { announced << u"title"_qs; });
        QObject::connect(&item, &StatusItem::toolTipChanged, [&] { announced << u"tooltip"_qs; });
        change(item);
        EXPECT_EQ(announced, heard);
    }
}

} // namespace
} // namespace calidra
