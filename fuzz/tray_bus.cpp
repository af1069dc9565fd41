// SPDX-License-Identifier: GPL-3.0-or-later
// What any program on the session bus can send to the tray: calls of the
// StatusNotifierItem and of the exported menu with random methods, ids,
// depths, property names and event payloads, their lists repeated up to a
// million times. The calls are made on the two adaptors' slots in process,
// over a connection that is not connected, so that nothing reaches a bus; a
// menu like the status menu stands behind them.
//
// Each call must end within 10 ms of the thread's processor time (not of the
// clock, so that a busy machine does not count; the sanitizers and the
// coverage make the code several times slower than the program, where the
// same calls take well under a millisecond; a call over it is repeated once
// to tell an outlier of the machine from work, see measured()) and allocate
// at most 8 MiB in all; each turn of the event loop, which runs the work the
// calls queued (their clicks, the menu they open, drawn as a user's click
// would have it), within 100 ms and 32 MiB. Otherwise the target says what
// it was and aborts, so that the fuzzer keeps the input. The slowest call and
// the slowest turn seen are printed whenever they grow past a millisecond,
// and at exit.
//
// Input: a series of operations, one byte each, followed by their arguments
// (see Reader); reading past the end gives zeros.

#include "platform/tray/DBusMenuAdaptor.h"
#include "platform/tray/DBusMenuExporter.h"
#include "platform/tray/SniItemAdaptor.h"
#include "platform/tray/SniTrayFace.h"
#include "platform/tray/StatusItem.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMenu>
#include <QMetaProperty>

#include <sanitizer/allocator_interface.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>

using namespace calidra;

namespace {

// What one call, or one turn of the event loop, may take: processor time in
// microseconds and bytes allocated. The slowest seen so far.
struct Bound
{
    long long microseconds;
    size_t bytes;
    long long slowest = 0;
    const char* slowestName = "none";
};

Bound s_call{10000, 8 << 20};
Bound s_turn{100000, 32 << 20};
// The longest runs of one entry a list gets: a million ids, and fewer of the
// larger entries, so that the input's own lists stay within the fuzzer's
// limit on one allocation.
constexpr int IdRepeatShift = 20;
constexpr int NameRepeatShift = 18;
constexpr int EventRepeatShift = 17;
constexpr int DataRepeatShift = 16;
constexpr int MostOperations = 64;
constexpr int DeepestData = 16;

// The allocations of the main thread while a call runs.
thread_local bool t_measuring = false;
thread_local size_t t_allocated = 0;

void countAllocation(const volatile void*, size_t size)
{
    if (t_measuring) {
        t_allocated += size;
    }
}

void ignoreFree(const volatile void*)
{}

long long threadMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1000000LL + now.tv_nsec / 1000;
}

void reportSlowest()
{
    std::fprintf(stderr,
                 "tray_bus: slowest call %s, %lld us; slowest turn of the event loop %s, %lld us "
                 "(processor time)\n",
                 s_call.slowestName, s_call.slowest, s_turn.slowestName, s_turn.slowest);
}

// The processor time in microseconds and the bytes allocated of one run of
// `work`.
template <typename Work>
std::pair<long long, size_t> costOf(Work& work)
{
    t_allocated = 0;
    const long long start = threadMicroseconds();
    t_measuring = true;
    work();
    t_measuring = false;
    return {threadMicroseconds() - start, t_allocated};
}

// Processor time on a shared machine has rare outliers of several
// milliseconds (about one in a million calls here) that replaying the input
// never shows. So a call over the bound is made once more with the same
// arguments and is a fault only when that run is over the bound too: work
// that grows with what a call carries repeats, an outlier does not. A turn of
// the event loop cannot be repeated; its bound leaves room instead.
template <typename Work>
void measured(Bound& bound, const char* name, Work&& work, bool repeatable)
{
    auto [spent, allocated] = costOf(work);
    if (repeatable && spent > bound.microseconds) {
        spent = std::min(spent, costOf(work).first);
    }
    if (spent > bound.slowest) {
        bound.slowest = spent;
        bound.slowestName = name;
        if (spent > 1000) {
            reportSlowest();
        }
    }
    if (spent > bound.microseconds) {
        std::fprintf(stderr, "tray_bus: %s took %lld us of processor time\n", name, spent);
        std::abort();
    }
    if (allocated > bound.bytes) {
        std::fprintf(stderr, "tray_bus: %s allocated %zu bytes\n", name, allocated);
        std::abort();
    }
}

template <typename Call>
void measured(const char* name, Call&& call)
{
    measured(s_call, name, std::forward<Call>(call), true);
}

void turnEventLoop(const char* name)
{
    measured(
        s_turn, name, [] { QCoreApplication::processEvents(); }, false);
}

// Reads the input front to back; past its end every read gives zero.
class Reader
{
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_offset >= m_size; }

    uint8_t byte() { return atEnd() ? 0 : m_data[m_offset++]; }

    int number()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value |= uint32_t(byte()) << (8 * i);
        }
        int result = 0;
        std::memcpy(&result, &value, sizeof result);
        return result;
    }

    // Below 0x80 one of the ids around the menu's (-1 to 30), else any.
    int id()
    {
        const uint8_t first = byte();
        return first < 0x80 ? first % 32 - 1 : number();
    }

    // 1, 2, 4, ... up to 2^shift; beyond 2^8 (more than a call looks at)
    // only for a byte from 0xe0 up, so that the input's own long lists, which
    // cost their building, stay rare.
    int repeats(int shift)
    {
        const uint8_t count = byte();
        return 1 << (count < 0xe0 ? count % 9 : count % (shift + 1));
    }

    QString text()
    {
        const size_t length = std::min<size_t>(byte(), m_size - std::min(m_offset, m_size));
        const QString result =
            QString::fromUtf8(reinterpret_cast<const char*>(m_data + m_offset), qsizetype(length));
        m_offset += length;
        return result;
    }

    // Below 0x80 a name the dbusmenu interface knows, else random text.
    QString propertyName()
    {
        static const std::array Known = {u"type"_qs,         u"label"_qs,
                                         u"enabled"_qs,      u"visible"_qs,
                                         u"icon-name"_qs,    u"icon-data"_qs,
                                         u"shortcut"_qs,     u"toggle-type"_qs,
                                         u"toggle-state"_qs, u"children-display"_qs,
                                         u"disposition"_qs,  QString()};
        const uint8_t first = byte();
        return first < 0x80 ? Known[first % Known.size()] : text();
    }

    QString eventId()
    {
        static const std::array Known = {u"clicked"_qs, u"opened"_qs, u"closed"_qs, u"hovered"_qs,
                                         QString()};
        const uint8_t first = byte();
        return first < 0x80 ? Known[first % Known.size()] : text();
    }

    QDBusVariant data(int depth = 0)
    {
        switch (depth < DeepestData ? byte() % 5 : 0) {
        case 0:
            return QDBusVariant(number());
        case 1:
            return QDBusVariant(text());
        case 2:
            return QDBusVariant(text().toUtf8());
        case 3:
            return QDBusVariant(QVariant::fromValue(data(depth + 1)));
        default: {
            const QVariant element = QVariant::fromValue(data(depth + 1));
            return QDBusVariant(QVariantList(repeats(DataRepeatShift), element));
        }
        }
    }

    // A list of up to three runs, each one value repeated.
    template <typename T, typename Make>
    QList<T> runs(int shift, Make&& make)
    {
        QList<T> list;
        for (int run = byte() % 4; run > 0; --run) {
            const T value = make();
            list.append(QList<T>(repeats(shift), value));
        }
        return list;
    }

    QList<int> ids()
    {
        return runs<int>(IdRepeatShift, [this] { return id(); });
    }

    QStringList propertyNames()
    {
        return runs<QString>(NameRepeatShift, [this] { return propertyName(); });
    }

    QList<DBusMenuEvent> events()
    {
        return runs<DBusMenuEvent>(EventRepeatShift, [this] {
            DBusMenuEvent event;
            event.id = id();
            event.eventId = eventId();
            event.data = data();
            event.timestamp = uint(number());
            return event;
        });
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_offset = 0;
};

// The status menu as the program builds it, its commands doing nothing, and
// a validator that changes the information items each time, as samples do.
class StatusMenuStandIn : public QMenu
{
public:
    StatusMenuStandIn()
    {
        addAction(u"No reading: the driver is not loaded"_qs)->setVisible(false);
        for (const QString& heading : {u"Last ten minutes"_qs, u"Since start"_qs}) {
            addAction(heading)->setEnabled(false);
            for (int i = 0; i < 3; ++i) {
                m_information.append(addAction(QString()));
            }
        }
        addSeparator();
        m_information.append(addAction(u"Updating every 2.0 seconds"_qs));
        addSeparator();
        for (const QString& command :
             {u"Statistics..."_qs, u"Preferences..."_qs, u"About Calidra"_qs, QString(),
              u"Quit and Uninstall..."_qs, u"Quit"_qs}) {
            if (command.isEmpty()) {
                addSeparator();
            } else {
                addAction(command);
            }
        }
    }

    void validate()
    {
        ++m_validations;
        for (QAction* item : std::as_const(m_information)) {
            item->setText(u"    %1.00℃"_qs.arg(40 + m_validations % 30));
            item->setEnabled(false);
        }
    }

private:
    QList<QAction*> m_information;
    int m_validations = 0;
};

class Surface
{
public:
    Surface()
    {
        m_item.setMenu(&m_menu);
        m_item.setMenuValidator([this] { m_menu.validate(); });
        // As the program's item opens the statistics window.
        m_item.setActivationHandler([this] { ++m_activations; });
        m_item.setTitle({u"52℃"_qs, QFont(), QIcon(), {u"52℃"_qs}, u"100℃"_qs, false});
        m_item.setToolTip(u"52℃"_qs);
        menuAdaptor = m_exporter.findChild<DBusMenuAdaptor*>();
        itemAdaptor = m_face.findChild<SniItemAdaptor*>();
        if (!menuAdaptor || !itemAdaptor) {
            std::abort();
        }
        warmUp();
    }

    // What is built once per process (fonts, the popup's window, the icon's
    // pictures) is built here, so that no call pays for it.
    void warmUp()
    {
        readProperties(*itemAdaptor);
        readProperties(*menuAdaptor);
        DBusMenuLayoutItem layout;
        menuAdaptor->GetLayout(0, -1, {}, QDBusMessage(), layout);
        itemAdaptor->ContextMenu(0, 0);
        QCoreApplication::processEvents();
        m_menu.hide();
        QCoreApplication::processEvents();
    }

    static void readProperties(const QObject& adaptor)
    {
        const QMetaObject* meta = adaptor.metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            meta->property(i).read(&adaptor);
        }
    }

    void run(Reader& input)
    {
        for (int done = 0; !input.atEnd() && done < MostOperations; ++done) {
            operation(input);
        }
        turnEventLoop("the event loop after the input");
        m_menu.hide();
        QCoreApplication::processEvents();
    }

    DBusMenuAdaptor* menuAdaptor = nullptr;
    SniItemAdaptor* itemAdaptor = nullptr;

private:
    void operation(Reader& input)
    {
        DBusMenuAdaptor& menu = *menuAdaptor;
        SniItemAdaptor& item = *itemAdaptor;
        switch (input.byte() % 16) {
        case 0: {
            const int parent = input.id();
            const int depth = input.number();
            const QStringList names = input.propertyNames();
            measured("GetLayout", [&] {
                DBusMenuLayoutItem layout;
                menu.GetLayout(parent, depth, names, QDBusMessage(), layout);
            });
            break;
        }
        case 1: {
            const QList<int> ids = input.ids();
            const QStringList names = input.propertyNames();
            measured("GetGroupProperties", [&] { menu.GetGroupProperties(ids, names); });
            break;
        }
        case 2: {
            const int id = input.id();
            const QString name = input.propertyName();
            measured("GetProperty", [&] { menu.GetProperty(id, name, QDBusMessage()); });
            break;
        }
        case 3: {
            const int id = input.id();
            const QString eventId = input.eventId();
            const QDBusVariant data = input.data();
            const uint timestamp = uint(input.number());
            measured("Event", [&] { menu.Event(id, eventId, data, timestamp, QDBusMessage()); });
            break;
        }
        case 4: {
            const QList<DBusMenuEvent> events = input.events();
            measured("EventGroup", [&] { menu.EventGroup(events); });
            break;
        }
        case 5: {
            const int id = input.id();
            measured("AboutToShow", [&] { menu.AboutToShow(id, QDBusMessage()); });
            break;
        }
        case 6: {
            const QList<int> ids = input.ids();
            measured("AboutToShowGroup", [&] {
                QList<int> idErrors;
                menu.AboutToShowGroup(ids, idErrors);
            });
            break;
        }
        case 7: {
            const int x = input.number();
            const int y = input.number();
            measured("Activate", [&] { item.Activate(x, y); });
            break;
        }
        case 8: {
            const int x = input.number();
            const int y = input.number();
            measured("ContextMenu", [&] { item.ContextMenu(x, y); });
            break;
        }
        case 9: {
            const int x = input.number();
            const int y = input.number();
            measured("SecondaryActivate", [&] { item.SecondaryActivate(x, y); });
            break;
        }
        case 10: {
            const int delta = input.number();
            const QString orientation = input.text();
            measured("Scroll", [&] { item.Scroll(delta, orientation); });
            break;
        }
        case 11: {
            const QString token = input.text();
            measured("ProvideXdgActivationToken", [&] { item.ProvideXdgActivationToken(token); });
            break;
        }
        case 12: {
            const QObject& adaptor =
                input.byte() % 2 ? static_cast<QObject&>(item) : static_cast<QObject&>(menu);
            const QMetaObject* meta = adaptor.metaObject();
            const QMetaProperty property = meta->property(input.byte() % meta->propertyCount());
            measured(property.name(), [&] { property.read(&adaptor); });
            break;
        }
        case 13:
            turnEventLoop("the event loop");
            break;
        case 14:
            // The user closes the menu that a call opened.
            m_menu.hide();
            break;
        default: {
            // The program changes the menu, as the reason item comes and goes.
            QAction* action = m_menu.actions().value(input.byte() % m_menu.actions().size());
            action->setVisible(!action->isVisible());
            break;
        }
        }
    }

    StatusMenuStandIn m_menu;
    StatusItem m_item;
    int m_activations = 0;
    QDBusConnection m_connection{u"calidra-fuzz-unconnected"_qs};
    SniTrayFace m_face{m_item, false, m_connection};
    DBusMenuExporter m_exporter{&m_menu, [this] { m_menu.validate(); }, m_connection,
                                SniItemAdaptor::MenuPath};
};

Surface* s_surface = nullptr;

// The offscreen platform says on every menu shown that it cannot raise it
// nor grab the keyboard; nothing Qt reports short of a fatal error matters
// here.
void dropMessage(QtMsgType, const QMessageLogContext&, const QString&)
{}

} // namespace

// A small quarantine with a small cache per thread: freeing the input's long
// lists outside the calls then recycles their memory soon after, instead of
// in a large batch during a later call, whose processor time would count it.
extern "C" const char* __asan_default_options()
{
    return "quarantine_size_mb=32:thread_local_quarantine_size_kb=64";
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(dropMessage);
    static int argc = 1;
    static char name[] = "fuzz_tray_bus";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    s_surface = new Surface();
    __sanitizer_install_malloc_and_free_hooks(countAllocation, ignoreFree);
    std::atexit(reportSlowest);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader input(data, size);
    s_surface->run(input);
    return 0;
}
