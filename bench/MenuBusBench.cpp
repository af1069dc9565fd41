// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/DBusMenuAdaptor.h"
#include "platform/tray/DBusMenuExporter.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QMenu>
#include <benchmark/benchmark.h>

namespace calidra {
namespace {

// The calls a broken or hostile program on the session bus can make to the
// exported menu, made on its adaptor in process over a connection that is not
// connected: 0, GetGroupProperties with a million copies of one id; 1,
// AboutToShowGroup with a million copies of the root; 2, EventGroup with
// 100,000 "opened" and "closed" pairs; 3, EventGroup with 5,000 clicks on one
// item (the queued command included). The menu has twenty items and a
// validator that changes seven of them, as the status menu has.
void hostileMenuCall(benchmark::State& state)
{
    QMenu menu;
    QList<QAction*> information;
    for (int i = 0; i < 20; ++i) {
        QAction* action = menu.addAction(u"item %1"_qs.arg(i));
        if (i < 7) {
            information.append(action);
        }
    }
    int validations = 0;
    const QDBusConnection connection(u"calidra-bench-unconnected"_qs);
    const DBusMenuExporter exporter(
        &menu,
        [&] {
            ++validations;
            for (QAction* action : std::as_const(information)) {
                action->setText(u"    %1.00℃"_qs.arg(40 + validations % 30));
            }
        },
        connection, u"/MenuBar"_qs);
    DBusMenuAdaptor& adaptor = *exporter.findChild<DBusMenuAdaptor*>();
    const int item = 15;
    const QList<int> ids(1'000'000, state.range(0) == 0 ? item : 0);
    QList<DBusMenuEvent> events;
    if (state.range(0) == 2) {
        for (int i = 0; i < 100'000; ++i) {
            events.append({0, u"opened"_qs, QDBusVariant(0), 0});
            events.append({0, u"closed"_qs, QDBusVariant(0), 0});
        }
    } else {
        events = QList<DBusMenuEvent>(5'000, {item, u"clicked"_qs, QDBusVariant(0), 0});
    }
    int calls = 0;
    for (auto _ : state) {
        ++calls;
        QList<int> idErrors;
        switch (state.range(0)) {
        case 0:
            benchmark::DoNotOptimize(adaptor.GetGroupProperties(ids, {}));
            break;
        case 1:
            benchmark::DoNotOptimize(adaptor.AboutToShowGroup(ids, idErrors));
            break;
        default:
            benchmark::DoNotOptimize(adaptor.EventGroup(events));
            QCoreApplication::processEvents();
            break;
        }
    }
    state.counters["validations per call"] = double(validations) / calls;
}
BENCHMARK(hostileMenuCall)->ArgName("call")->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace calidra
