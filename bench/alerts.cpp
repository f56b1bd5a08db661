// SPDX-License-Identifier: GPL-3.0-or-later
// Building the alert windows' outlines: once per opening of a window, so only a sanity figure.
#include "alerts/alertoutline.h"

#include <benchmark/benchmark.h>

namespace {
void BM_BuildOutline(benchmark::State& state) {
    const int slot = int(state.range(0));
    const AlertOutline outline = AlertOutlines::forSlot(slot);
    for (auto _ : state) {
        QRegion region = AlertOutlines::vytvortvar(outline, 1.0f, 1.0f, 0, 0, {});
        benchmark::DoNotOptimize(region);
    }
}
// Slot 1 stands for the seven framed windows; 2 to 6 are the figures.
BENCHMARK(BM_BuildOutline)->DenseRange(1, 6)->ArgName("slot");

void BM_BuildOutlineAt120Dpi(benchmark::State& state) {
    const AlertOutline outline = AlertOutlines::forSlot(int(state.range(0)));
    for (auto _ : state) {
        QRegion region = AlertOutlines::vytvortvar(outline, 1.0f, 1.0f, 0, 0, {12.0, 12.0});
        benchmark::DoNotOptimize(region);
    }
}
BENCHMARK(BM_BuildOutlineAt120Dpi)->Arg(2)->Arg(4)->ArgName("slot");
} // namespace

BENCHMARK_MAIN();
