// Start-up to the first drawn frame, and the memory the game holds after one
// and after fifty games in a row, without a display.
#include <benchmark/benchmark.h>

#include "morvask.h"
#include "rules.h"
#include "screens.h"
#include "widgets.h"
#include "release_pictures.h"

#include <malloc.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

// The display is a memory picture of its size.
static BITMAP* display;

// The start-up's own work past the library and the display: the pictures and
// their cells, the fire colours, and the intro's first frame on the display.
static void BM_StartupToFirstFrame(benchmark::State& state)
{
    for (auto _ : state) {
        buffer = create_bitmap(160, 120);
        load_pictures();
        for (int i = 0; i < flamecyclelength; i++)
            flamecycle[i] = makecol(237, 28 + 40 * i, 36);
        int beige = makecol(245, 233, 162);
        clear_to_color(buffer, beige);
        textout_ex(buffer, font, "vossendar presents", 4, 50, makecol(0, 0, 0), beige);
        stretch_blit(buffer, display, 0, 0, 160, 120, 0, 0, 640, 480);
        benchmark::ClobberMemory();
        state.PauseTiming();
        release_pictures();
        release_picture(buffer);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMillisecond);

static void point_at(int x, int y, bool down)
{
    mouse_x = 4 * x + 2;
    mouse_y = 4 * y + 2;
    mouse_b = down;
}

// One game as a player plays it: the quarter, the wall and the trains, the
// military slider dragged, a few hundred ticks, then the quit button.
static void play_one_game()
{
    init_gamevars();
    const int clicks[3][2] = {{24, 17}, {38, 17}, {38, 31}};
    for (int t = 0; t < 300; t++) {
        const int* c = clicks[(t / 20) % 3];
        if (t < 60 && t % 20 == 0)
            point_at(c[0], c[1], true);
        else if (t < 60 && t % 20 == 2)
            point_at(c[0], c[1], false);
        else if (t == 100)
            point_at(70, 99, true);
        else if (t == 110)
            point_at(100, 99, false);
        game_tick();
    }
    point_at(10, 5, true);
    game_tick();
    point_at(10, 5, false);
    game_tick();
    destroy_widgets();
}

static double heap_kb()
{
    return mallinfo2().uordblks / 1024.0;
}

static double resident_kb()
{
    long pages = 0, resident = 0;
    if (FILE* f = fopen("/proc/self/statm", "r")) {
        if (fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        fclose(f);
    }
    return resident * (getpagesize() / 1024.0);
}

static void ignore_message(std::string)
{
}

static void BM_FiftyGames(benchmark::State& state)
{
    buffer = create_bitmap(160, 120);
    load_pictures();
    showmessage = ignore_message;
    double heap1 = 0, rss1 = 0;
    for (auto _ : state) {
        for (int game = 1; game <= 50; game++) {
            play_one_game();
            if (game == 1) {
                heap1 = heap_kb();
                rss1 = resident_kb();
            }
        }
    }
    state.counters["heap_after_1_kB"] = heap1;
    state.counters["heap_after_50_kB"] = heap_kb();
    state.counters["rss_after_1_kB"] = rss1;
    state.counters["rss_after_50_kB"] = resident_kb();
    showmessage = nullptr;
    release_pictures();
    release_picture(buffer);
}
BENCHMARK(BM_FiftyGames)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    std::filesystem::current_path(MORVASK_SOURCE_DIR);
    display = create_bitmap(640, 480);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
