// SPDX-License-Identifier: GPL-3.0-or-later
// Saving and loading the slots, the settings service and one check of the watcher.
#include "app/mainwindow.h"
#include "host/clock.h"
#include "host/messageboxes.h"
#include "host/module1.h"
#include "slots/notefiles.h"
#include "slots/settingsfile.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
QTemporaryDir* g_home = nullptr;

QString noteOf(int bytes) {
    QString body;
    body.reserve(bytes);
    while (body.size() < bytes)
        body += QStringLiteral("Stretnutie o desiatej, nezabudnúť dokumenty. ");
    return QStringLiteral("{\\rtf1\\ansi ") + body + QStringLiteral("}");
}

void BM_SaveTwelveNotes(benchmark::State& state) {
    SlotTable slots;
    for (int k = 1; k <= kSlotCount; ++k)
        slots[k].note = noteOf(int(state.range(0)));
    const QString folder = g_home->path() + QStringLiteral("/notes");
    for (auto _ : state)
        benchmark::DoNotOptimize(NoteFiles::save(slots, folder));
    state.SetBytesProcessed(state.iterations() * state.range(0) * kSlotCount);
}
BENCHMARK(BM_SaveTwelveNotes)->Arg(100 * 1024)->Unit(benchmark::kMillisecond);

void BM_LoadTwelveNotes(benchmark::State& state) {
    SlotTable slots;
    for (int k = 1; k <= kSlotCount; ++k)
        slots[k].note = noteOf(100 * 1024);
    const QString folder = g_home->path() + QStringLiteral("/notes");
    NoteFiles::save(slots, folder);
    for (auto _ : state) {
        NoteFiles::load(slots, folder);
        benchmark::DoNotOptimize(slots[12].note);
    }
}
BENCHMARK(BM_LoadTwelveNotes)->Unit(benchmark::kMillisecond);

void BM_SettingsWriteValue(benchmark::State& state) {
    SlotTable slots;
    SettingsFile::save(slots, Module1::settingsPath(QStringLiteral("PM002.INI")));
    int i = 0;
    for (auto _ : state)
        Module1::zapíšini(QStringLiteral("DAT7"), QStringLiteral("Čas"), QString::number(++i % 60),
                          "PM002.INI");
}
BENCHMARK(BM_SettingsWriteValue)->Unit(benchmark::kMicrosecond);

void BM_SettingsReadValue(benchmark::State& state) {
    SlotTable slots;
    SettingsFile::save(slots, Module1::settingsPath(QStringLiteral("PM002.INI")));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            Module1::čítajini(QStringLiteral("Dat12"), QStringLiteral("Dátum"), "Error", "PM002.INI"));
}
BENCHMARK(BM_SettingsReadValue)->Unit(benchmark::kMicrosecond);

class NoBoxes final : public MessageBoxes {
  public:
    int msgBox(const QString&, int, const QString&) override { return Ok; }
    QString inputBox(const QString&, const QString&, const QString& d, std::optional<QPoint>) override {
        return d;
    }
};

// Twelve dated slots, none due: what every tick costs.
void BM_WatcherCheck(benchmark::State& state) {
    SystemClock clock;
    NoBoxes boxes;
    HostServices host;
    host.clock = &clock;
    host.boxes = &boxes;
    MainWindow window(host);
    window.Form_Load();
    for (int k = 1; k <= kSlotCount; ++k) {
        window.slots()[k].date = DateTimeValue::fromDate(QDate::currentDate().addDays(k));
        window.setPickerValue(k, DateTimeValue::fromTime(QTime(k, 0)));
    }
    for (auto _ : state)
        window.watcher().Timer3_Timer();
}
BENCHMARK(BM_WatcherCheck)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    g_home = &home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
