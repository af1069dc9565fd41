// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeStatusNotifierWatcher.h"
#include "platform/tray/DBusMenuLayoutItem.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QDBusVariant>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

#include <cstdio>

// A panel on the session bus for the program's end-to-end run: it serves the
// StatusNotifierWatcher, waits for the item, checks what a panel reads (the
// properties, a menu whose first layout has every text, a label with a
// temperature in it), activates the item as a primary click does, quits and
// comes back as a restarting panel does, waits for the item again, then
// clicks "Quit" in the menu. Exits with 0 when every step went as expected,
// and prints the failed step and exits with 1 otherwise.

namespace calidra {
namespace {

const QString ItemInterface = u"org.kde.StatusNotifierItem"_qs;
const QString MenuInterface = u"com.canonical.dbusmenu"_qs;

[[noreturn]] void fail(const QString& step)
{
    std::fprintf(stderr, "fake panel: %s\n", qPrintable(step));
    std::exit(1);
}

// A watcher's entry, "service/path", without its path.
QString serviceOf(const QString& item)
{
    return item.section(u'/', 0, 0);
}

QVariant property(const QString& service, const QString& name)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, u"/StatusNotifierItem"_qs, u"org.freedesktop.DBus.Properties"_qs, u"Get"_qs);
    call.setArguments({ItemInterface, name});
    const QDBusReply<QDBusVariant> reply = QDBusConnection::sessionBus().call(call);
    return reply.isValid() ? reply.value().variant() : QVariant();
}

void expectProperties(const QString& service)
{
    const std::pair<const char*, QVariant> expected[] = {
        {"Id", u"calidra"_qs},    {"Title", u"Calidra"_qs}, {"Category", u"Hardware"_qs},
        {"Status", u"Active"_qs}, {"ItemIsMenu", true},
    };
    for (const auto& [name, value] : expected) {
        if (property(service, QString::fromUtf8(name)) != value) {
            fail(u"property %1 is not %2"_qs.arg(QString::fromUtf8(name), value.toString()));
        }
    }
}

QDBusMessage menuCall(const QString& service, const QString& method, const QVariantList& arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, u"/MenuBar"_qs, MenuInterface, method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call);
}

DBusMenuLayoutItem menuLayout(const QString& service)
{
    const QDBusMessage reply = menuCall(service, u"GetLayout"_qs, {0, -1, QStringList()});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2) {
        fail(u"GetLayout failed: "_qs + reply.errorMessage());
    }
    return qdbus_cast<DBusMenuLayoutItem>(reply.arguments().at(1));
}

// Panels lay the menu out from their first read, before any AboutToShow:
// every shown item but a separator has its text then.
void expectLabelsFromTheStart(const QString& service)
{
    for (const DBusMenuLayoutItem& item : menuLayout(service).children) {
        if (item.properties.value(u"visible"_qs, true).toBool() &&
            item.properties.value(u"type"_qs) != u"separator"_qs &&
            item.properties.value(u"label"_qs).toString().isEmpty()) {
            fail(u"menu item %1 has no text in the first layout"_qs.arg(item.id));
        }
    }
}

// The menu as a panel opens it: validated first, then read whole. Gives the
// id of "Quit"; every command must be enabled and every other item (the
// headings and the information items) disabled; hidden items (the reason for
// no reading, while there is a reading) are not looked at.
int quitId(const QString& service)
{
    menuCall(service, u"AboutToShow"_qs, {0});
    const DBusMenuLayoutItem root = menuLayout(service);
    static const QStringList commands = {u"Statistics..."_qs, u"Preferences..."_qs,
                                         u"About Calidra"_qs, u"Quit and Uninstall..."_qs,
                                         u"Quit"_qs};
    int quit = 0;
    for (const DBusMenuLayoutItem& item : root.children) {
        const QString label = item.properties.value(u"label"_qs).toString();
        const bool enabled = item.properties.value(u"enabled"_qs, true).toBool();
        const bool visible = item.properties.value(u"visible"_qs, true).toBool();
        if (visible && item.properties.value(u"type"_qs) != u"separator"_qs &&
            commands.contains(label) != enabled) {
            fail(u"menu item \"%1\" is %2"_qs.arg(label, enabled ? u"enabled"_qs : u"disabled"_qs));
        }
        quit = label == u"Quit"_qs ? item.id : quit;
    }
    return quit ? quit : (fail(u"no Quit in the menu"_qs), 0);
}

// Waits, reading the label twice a second, until it shows a temperature.
void awaitTemperatureLabel(const QString& service)
{
    static const QRegularExpression temperature(u"^\\d+℃"_qs);
    for (int attempt = 0; attempt < 60; ++attempt) {
        if (temperature.match(property(service, u"XAyatanaLabel"_qs).toString()).hasMatch()) {
            return;
        }
        QThread::msleep(500);
    }
    fail(u"the label shows no temperature: "_qs +
         property(service, u"XAyatanaLabel"_qs).toString());
}

} // namespace
} // namespace calidra

int main(int argc, char* argv[])
{
    using namespace calidra;
    const QCoreApplication application(argc, argv);
    qDBusRegisterMetaType<DBusMenuLayoutItem>();
    FakeStatusNotifierWatcher watcher(QDBusConnection::sessionBus());
    if (!watcher.isServing()) {
        fail(u"cannot serve the watcher"_qs);
    }
    QTimer::singleShot(60000, [] { fail(u"no item registered within a minute"_qs); });
    int registrations = 0;
    QObject::connect(
        &watcher, &FakeStatusNotifierWatcher::StatusNotifierItemRegistered,
        [&](const QString& item) {
            const QString service = serviceOf(item);
            if (++registrations == 1) {
                expectLabelsFromTheStart(service);
                expectProperties(service);
                awaitTemperatureLabel(service);
                QDBusConnection::sessionBus().call(
                    QDBusMessage::createMethodCall(service, u"/StatusNotifierItem"_qs,
                                                   ItemInterface, u"Activate"_qs)
                    << 0 << 0);
                watcher.goAway();
                QTimer::singleShot(500, [&watcher] { watcher.comeBack(); });
                return;
            }
            expectProperties(service);
            menuCall(service, u"Event"_qs,
                     {quitId(service), u"clicked"_qs, QVariant::fromValue(QDBusVariant(0)), 0U});
            std::printf("fake panel: every step passed\n");
            QCoreApplication::exit(0);
        });
    return QCoreApplication::exec();
}
