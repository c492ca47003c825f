// Timings of the work Vakto does every second and every minute, and of the ledger file.
//   vakto_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// The "allocs" counter is the number of heap allocations (malloc, realloc, calloc and operator new)
// per iteration inside the timed loop.

#include "alarm/alarmsetting.h"
#include "app/startup.h"
#include "clockface/analog.h"
#include "clockface/wuline.h"
#include "model/vakto.h"
#include "punch/ledger.h"
#include "punch/punch.h"
#include "tests/support/fakes.h"

#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
std::atomic<long> g_allocations{0};
}

// Counting replacements of the allocation functions (the benchmark binary only). malloc is counted
// too: Qt's strings and lists take their buffers from it, not from operator new.
extern "C" {
void* __libc_malloc(std::size_t n);
void* __libc_realloc(void* p, std::size_t n);
void* __libc_calloc(std::size_t count, std::size_t n);
void* malloc(std::size_t n) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(n);
}
void* realloc(void* p, std::size_t n) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, n);
}
void* calloc(std::size_t count, std::size_t n) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, n);
}
}

void* operator new(std::size_t n) {
    if (void* p = std::malloc(n ? n : 1)) return p; // counted by malloc
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {
struct BenchCore : FakePorts {
    virtual ~BenchCore() = default;
    QTemporaryDir dir;
    Vakto v{ports(), dir.path()};
    BenchCore() {
        clock.set(10, 8, 37); // long hands in the steep octants: the most steps per line
        InitClock(v);
        SetDial(v, 2);
    }
};

void SetAllocCounter(benchmark::State& state, long before) {
    state.counters["allocs"] =
        benchmark::Counter(double(g_allocations.load() - before), benchmark::Counter::kAvgIterations);
}

// The 137 x 137 dial and its three hands: drawn whole (0, after a change of dial), or the next
// second over the last one (1, every tick), where only the second hand's places are drawn again.
void BM_DrawClock(benchmark::State& state) {
    BenchCore core;
    const bool whole = state.range(0) == 0;
    const std::array<QDateTime, 2> at{QDateTime(core.clock.t.date(), QTime(10, 8, 37)),
                                      QDateTime(core.clock.t.date(), QTime(10, 8, 38))};
    const long before = g_allocations.load();
    std::size_t i = 0;
    for (auto _ : state) {
        if (whole)
            core.v.analog.drawnDial = -1;
        else
            core.clock.t = at[i ^= 1];
        DrawClock(core.v);
        benchmark::DoNotOptimize(core.v.analog.surface.constBits());
    }
    SetAllocCounter(state, before);
}
BENCHMARK(BM_DrawClock)->Arg(0)->Arg(1);

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

// A started program with everything running: a timer, the punch clock on project 2, the
// announcer every 15 minutes.
struct RunningCore : BenchCore {
    RunningCore() {
        QFile f(dir.path() + QStringLiteral("/vakto.dat"));
        if (f.open(QIODevice::WriteOnly)) f.write(FormatLedger(Ledger(12)));
        f.close();
        clock.set(10, 8, 20);
        Startup(v);
        StartTimer(v, 45);
        v.punch.currentProject = 2;
        AdjustPunch(v, 0);
    }
    static std::vector<ProjectRec> Ledger(int n) {
        std::vector<ProjectRec> out;
        for (int i = 1; i <= n; ++i)
            out.push_back(ProjectRec{std::int16_t(i % 30000), std::int16_t(i % 500), std::int16_t(i % 60),
                                     QStringLiteral("Project number %1").arg(i)});
        return out;
    }
    // Readings made before the timed loop: building a local QDateTime asks the C library for the
    // time zone, which allocates, and is the clock's work, not the tick's.
    std::vector<QDateTime> readings(int h, int m0, int m1, int s0, int s1) const {
        std::vector<QDateTime> out;
        for (int m = m0; m <= m1; ++m)
            for (int s = s0; s <= s1; ++s)
                out.emplace_back(clock.t.date(), QTime(h, m, s));
        return out;
    }
    // One tick at `t`, as if the second before had just been handled.
    void tickAt(const QDateTime& t) {
        clock.t = t;
        v.app.lastTickTime = TickKey(t) - 1;
        Tick(v);
    }
};

// An ordinary second: hands, time texts, seconds digits, colon and alarm checks.
void BM_TickSecond(benchmark::State& state) {
    RunningCore core;
    const std::vector<QDateTime> at = core.readings(10, 8, 8, 1, 58);
    const long before = g_allocations.load();
    std::size_t i = 0;
    for (auto _ : state) {
        core.tickAt(at[i]);
        i = (i + 1) % at.size();
    }
    SetAllocCounter(state, before);
}
BENCHMARK(BM_TickSecond);

// A full-minute second: also the hh:mm digits, the countdown step, one punched minute and the
// announcer check.
void BM_TickMinute(benchmark::State& state) {
    RunningCore core;
    const std::vector<QDateTime> at = core.readings(10, 10, 13, 0, 0);
    const long before = g_allocations.load();
    std::size_t i = 0;
    for (auto _ : state) {
        core.v.alarm.countdownMinutes = 30; // keep the countdown stepping
        core.v.punch.punchMinutes = 100;    // and the punch clock counting
        core.tickAt(at[i]);
        i = (i + 1) % at.size();
    }
    SetAllocCounter(state, before);
}
BENCHMARK(BM_TickMinute);

// Reading the ledger at start-up, and rewriting it whole (a new file renamed into place).
void BM_LoadProjects(benchmark::State& state) {
    RunningCore core;
    {
        QFile f(core.dir.path() + QStringLiteral("/vakto.dat"));
        if (f.open(QIODevice::WriteOnly)) f.write(FormatLedger(RunningCore::Ledger(int(state.range(0)))));
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadProjects(core.v));
    state.counters["records"] = double(core.v.punch.projects.size());
}
BENCHMARK(BM_LoadProjects)->Arg(12)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_SaveProjects(benchmark::State& state) {
    RunningCore core;
    core.v.punch.projects = RunningCore::Ledger(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(SaveProjects(core.v));
}
BENCHMARK(BM_SaveProjects)->Arg(12)->Arg(10000)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
