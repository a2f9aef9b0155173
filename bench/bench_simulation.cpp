// What one logic tick and one whole game cost with no display.
#include <benchmark/benchmark.h>

#include "morvask.h"
#include "rules.h"

// Long enough to amortise a fresh model, short enough that the treasury
// warning (after some 250 ticks) has not fired: apart from the opening
// event, all fourteen stay armed and are tested on every tick.
static const int batch = 200;

static void BM_LogicTick(benchmark::State& state)
{
    Morvask* game = nullptr;
    for (auto _ : state) {
        state.PauseTiming();
        delete game;
        game = new Morvask;
        morvask = game;
        state.ResumeTiming();
        for (int n = 0; n < batch; n++)
            benchmark::DoNotOptimize(do_logic());
    }
    // Seconds per tick.
    state.counters["tick"] = benchmark::Counter(
        batch, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    delete game;
    morvask = nullptr;
}
BENCHMARK(BM_LogicTick);

// The careful player of the headless tests: every event of the game but two
// fires, and the calendar runs out on tick 5,490.
static int play_whole_game()
{
    delete morvask;
    morvask = new Morvask;
    warover = false;
    Morvask& m = *morvask;
    int result = 0;
    int tick = 1;
    for (; result == 0 && !warover; tick++) {
        switch (tick) {
        case 30: m.jewishquarter = true; break;
        case 60: m.taxrate = 0.6f; m.military = 0.5f; m.propaganda = 0.3f; break;
        case 300: m.trains = true; break;
        case 2000: m.wall = true; break;
        case 2500: m.jewishbadge = true; break;
        case 3000: m.polishbadge = true; break;
        case 3500: m.abolisheducation = true; break;
        }
        result = do_logic();
    }
    return tick - 1;
}

static void BM_WholeGame(benchmark::State& state)
{
    int ticks = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(ticks = play_whole_game());
    state.counters["ticks"] = ticks;
    delete morvask;
    morvask = nullptr;
}
BENCHMARK(BM_WholeGame)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
