// Timings of the clock face redraw, the one piece of work Vakto does every second.
//   vakto_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// The "allocs" counter is the number of operator new calls per iteration inside the timed loop.

#include "app/depot.h"
#include "app/vakto.h"
#include "clockface/analog.h"
#include "clockface/wuline.h"
#include "tests/support/fakes.h"

#include <QTemporaryDir>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> g_allocations{0};
}

// Counting replacements of the global allocation functions (the benchmark binary only).
void* operator new(std::size_t n) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {
struct BenchCore {
    FakeClock clock;
    FakeSound sound;
    FakeBrowser browser;
    FakeDialogs dialogs;
    FakeTray tray;
    FakeWindow window;
    QTemporaryDir dir;
    Vakto v{Ports{clock, sound, browser, dialogs, tray, window}, dir.path()};
    BenchCore() {
        LoadDepot(v);
        clock.set(10, 8, 37); // long hands in the steep octants: the most steps per line
        InitClock(v);
        SetDial(v, 2);
    }
};

void SetAllocCounter(benchmark::State& state, long before) {
    state.counters["allocs"] =
        benchmark::Counter(double(g_allocations.load() - before), benchmark::Counter::kAvgIterations);
}

// Restore the 137 x 137 dial picture and draw the hour, minute and second hands.
void BM_DrawClock(benchmark::State& state) {
    BenchCore core;
    const long before = g_allocations.load();
    for (auto _ : state) {
        DrawClock(core.v);
        benchmark::DoNotOptimize(core.v.analog.surface.constBits());
    }
    SetAllocCounter(state, before);
}
BENCHMARK(BM_DrawClock);

// The line drawer alone: the longest second hand's line at width 1, and the hour hand's width 5.
void BM_DrawWuLine(benchmark::State& state) {
    QImage surface(137, 137, QImage::Format_RGB32);
    surface.fill(0xFF1B2A44u);
    const ArgbColor colour{240, 220, 40, 255};
    const QPoint from(68, 68), to(state.range(0) == 1 ? QPoint(36, 18) : QPoint(40, 51));
    const auto width = static_cast<std::int16_t>(state.range(0));
    const long before = g_allocations.load();
    for (auto _ : state) {
        DrawWuLine(surface, from, to, colour, width);
        benchmark::DoNotOptimize(surface.constBits());
    }
    SetAllocCounter(state, before);
}
BENCHMARK(BM_DrawWuLine)->Arg(1)->Arg(5);
} // namespace

BENCHMARK_MAIN();
