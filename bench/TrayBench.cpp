// SPDX-License-Identifier: GPL-3.0-or-later
#include "DBusSignalRecorder.h"
#include "PrivateSessionBus.h"
#include "WaitUntil.h"
#include "platform/tray/QtTrayFace.h"
#include "platform/tray/SniTrayFace.h"
#include "platform/tray/StatusItem.h"
#include "platform/tray/TitleRenderer.h"

#include <QDeadlineTimer>
#include <QMenu>
#include <benchmark/benchmark.h>

namespace calidra {
namespace {

// Two titles a tick may bring: the same one again (the temperature did not
// change) or the other one.
StatusTitle titleAt(int degrees)
{
    const QStringList values{QString::number(degrees) + u"℃"_qs, u"2.40 GHz"_qs};
    return {values.join(u' '), QFont(), QIcon(), values, u"188℃ 888.88 MHz"_qs};
}

// One tick as the program makes it: the title and the tooltip set on the
// item, and the menu's texts brought up to date. With `changing` every tick
// brings a new title, otherwise the same.
void tick(StatusItem& item, bool changing, int tickNumber)
{
    const int degrees = changing ? 50 + tickNumber % 2 : 50;
    item.setTitle(titleAt(degrees));
    item.setToolTip(u"statistics at tick "_qs + QString::number(tickNumber));
    item.announceMenuContentChanged();
}

// A menu like the status menu: seven information items among commands, whose
// validation writes the statistics of the tick (new averages each tick).
struct BenchMenu
{
    explicit BenchMenu(StatusItem& item)
    {
        for (int i = 0; i < 7; ++i) {
            information.append(menu.addAction(QString()));
        }
        menu.addSeparator();
        for (const char* command : {"Statistics...", "Preferences...", "About Calidra", "Quit"}) {
            menu.addAction(QString::fromLatin1(command));
        }
        item.setMenu(&menu);
        item.setMenuValidator([this] {
            for (QAction* action : std::as_const(information)) {
                action->setText(u"    "_qs +
                                QString::number(48.0 + validations % 100 / 100.0, 'f', 2) +
                                u"℃ 2.40 GHz Average"_qs);
            }
            ++validations;
        });
    }

    QMenu menu;
    QList<QAction*> information;
    int validations = 0;
};

// The system tray icon's path: each title change is one new icon for the
// tray to fetch; an unchanged title does nothing at all.
void xembedTick(benchmark::State& state)
{
    StatusItem item;
    item.setTitle(titleAt(50));
    const QtTrayFace face(item);
    int changes = 0;
    QObject::connect(&item, &StatusItem::titleChanged, [&changes] { ++changes; });
    int ticks = 0;
    for (auto _ : state) {
        tick(item, state.range(0) != 0, ++ticks);
    }
    state.counters["icon updates per tick"] = double(changes) / ticks;
}
BENCHMARK(xembedTick)->ArgName("changing")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The StatusNotifierItem's path on a private bus, for a panel that shows the
// label (1) or only the icon (0): the signals a panel hears per tick.
void sniTick(benchmark::State& state)
{
    PrivateSessionBus bus;
    if (!bus.failure().isEmpty()) {
        state.SkipWithError(qPrintable(bus.failure()));
        return;
    }
    StatusItem item;
    item.setTitle(titleAt(50));
    BenchMenu menu(item);
    const SniTrayFace face(item, state.range(1) != 0, bus.connect(u"item"_qs));
    QDBusConnection panelBus = bus.connect(u"panel"_qs);
    DBusSignalRecorder panel(panelBus, QString(), u"/StatusNotifierItem"_qs,
                             u"org.kde.StatusNotifierItem"_qs);
    // A slot without arguments takes the menu's signal; the action's trigger counts.
    QAction menuUpdates;
    int menuSignals = 0;
    QObject::connect(&menuUpdates, &QAction::triggered, [&menuSignals] { ++menuSignals; });
    panelBus.connect(face.serviceName(), u"/MenuBar"_qs, u"com.canonical.dbusmenu"_qs,
                     u"ItemsPropertiesUpdated"_qs, &menuUpdates, SLOT(trigger()));
    waitUntil([&face] { return !face.serviceName().isEmpty(); });
    panel.take();
    int ticks = 0;
    qsizetype heard = 0;
    for (auto _ : state) {
        tick(item, state.range(0) != 0, ++ticks);
        // Ticks come seconds apart: each one's signals arrive before the next.
        state.PauseTiming();
        const QDeadlineTimer settled(5);
        while (!settled.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        heard += panel.take().size();
        state.ResumeTiming();
    }
    state.counters["D-Bus signals per tick"] = double(heard) / ticks;
    state.counters["menu updates per tick"] = double(menuSignals) / ticks;
}
BENCHMARK(sniTick)
    ->ArgNames({"changing", "label"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);

// What a changed title costs when the panel draws it: one face at the
// common slot size, or the five sizes a StatusNotifierItem offers. Each
// iteration draws a new temperature, as a changed title does.
void faceDrawing(benchmark::State& state)
{
    const QList<int> sides = state.range(0) ? QList<int>{16, 22, 24, 32, 48} : QList<int>{22};
    int degrees = 0;
    for (auto _ : state) {
        const QStringList values{QString::number(40 + degrees++ % 60) + u"℃"_qs, u"2.40 GHz"_qs};
        for (int side : sides) {
            benchmark::DoNotOptimize(TitleRenderer::render(values, QIcon(), side));
        }
    }
}
BENCHMARK(faceDrawing)->ArgName("allSizes")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace calidra
