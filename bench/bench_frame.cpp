// The cost of one frame of the game screen, drawn and enlarged four times,
// against the floor of merely copying a 640x480 32-bit picture.
#include <benchmark/benchmark.h>

#include "morvask.h"
#include "screens.h"
#include "widgets.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

// The display is a memory picture of the display's size, so the frame is
// measured without a display.
static BITMAP* display;

static void setup()
{
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    std::filesystem::current_path(MORVASK_SOURCE_DIR);
    buffer = create_bitmap(160, 120);
    display = create_bitmap(640, 480);
    load_pictures();
    init_gamevars();
    // The busiest map: the walled quarter and every fire burning.
    morvask->jewishquarter = true;
    morvask->wall = true;
    morvask->unrest = 1;
    enable_buttons();
    mouse_x = 400;
    mouse_y = 200;
}

static void BM_GameScreenFrame(benchmark::State& state)
{
    for (auto _ : state) {
        blit(background, buffer, 0, 0, 0, 0, 160, 120);
        drawGUI();
        drawCursor();
        stretch_blit(buffer, display, 0, 0, 160, 120, 0, 0, 640, 480);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GameScreenFrame);

static void BM_CopyOfTheDisplay(benchmark::State& state)
{
    std::vector<unsigned char> from(640 * 480 * 4, 1), to(640 * 480 * 4);
    for (auto _ : state) {
        memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyOfTheDisplay);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    setup();
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
