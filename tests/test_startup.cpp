// Start-up without a display: every cell is cut from its place in its sheet
// and to its size, from sheets whose pixels tell their own coordinates and
// from the game's own pictures; a broken picture ends the program with a
// message naming it; the music keeps quiet when it cannot play.
#include <gtest/gtest.h>

#include "screens.h"
#include "widgets.h"
#include "release_pictures.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

struct Sheet {
    const char* file;
    int w, h;
};

// The pictures as the game needs them at the least.
static const Sheet sheets[] = {
    {"font.bmp", 143, 5},      {"font2.bmp", 143, 5},       {"titlebuttons.bmp", 72, 68},
    {"buttons.bmp", 182, 52},  {"xbtn.bmp", 7, 28},         {"inputimages.bmp", 52, 13},
    {"cursor.bmp", 5, 7},      {"background.bmp", 160, 120}, {"titlescreen.bmp", 160, 120},
    {"ghetto.bmp", 17, 18},    {"ghetto2.bmp", 17, 18},
};

// Runs the loader in a folder and returns to where the test started.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        home = fs::current_path();
        folder = fs::temp_directory_path() / ("startup-" + std::to_string(getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder / "bmp");
    }
    void TearDown() override
    {
        release_pictures();
        fs::current_path(home);
        fs::remove_all(folder);
    }

    // Sheets whose every pixel holds its own position, the blue telling
    // the sheets apart, so a cell cut from the wrong place shows it.
    void write_coded_sheets()
    {
        int n = 0;
        for (const Sheet& s : sheets) {
            BITMAP* b = create_bitmap(s.w, s.h);
            for (int y = 0; y < s.h; ++y)
                for (int x = 0; x < s.w; ++x)
                    putpixel(b, x, y, makecol(x, y, 10 * n));
            save_bitmap((folder / "bmp" / s.file).c_str(), b, nullptr);
            destroy_bitmap(b);
            ++n;
        }
    }

    void load_in(const fs::path& dir)
    {
        fs::current_path(dir);
        load_pictures();
    }

    fs::path home, folder;
};

// The cell must be w x h and hold the sheet's pixels from (sx, sy) on.
static void expect_cut(const char* file, BITMAP* cell, int sx, int sy, int w, int h)
{
    SCOPED_TRACE(std::string(file) + " at " + std::to_string(sx) + "," + std::to_string(sy));
    ASSERT_NE(cell, nullptr);
    ASSERT_EQ(cell->w, w);
    ASSERT_EQ(cell->h, h);
    BITMAP* sheet = load_bitmap((std::string("bmp/") + file).c_str(), nullptr);
    ASSERT_NE(sheet, nullptr);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (getpixel(cell, x, y) != getpixel(sheet, sx + x, sy + y)) {
                ADD_FAILURE() << "pixel " << x << "," << y << " differs";
                destroy_bitmap(sheet);
                return;
            }
    destroy_bitmap(sheet);
}

static void expect_every_cell()
{
    for (int i = 0; i < 36; ++i) {
        expect_cut("font.bmp", fontbmp[i], 4 * i, 0, 3, 5);
        expect_cut("font2.bmp", redfontbmp[i], 4 * i, 0, 3, 5);
    }
    for (int i = 0; i < 2; ++i)
        expect_cut("titlebuttons.bmp", titlebutton[i], 36 * i, 0, 36, 68);
    for (int i : {0, 2, 4, 5, 7, 11, 13})
        expect_cut("buttons.bmp", bitmaparray[i], 13 * i, 0, 13, 52);
    for (int i : {1, 3, 6, 8, 9, 10, 12})
        expect_cut("buttons.bmp", bitmaparray[i], 13 * i, 26, 13, 13);
    for (int i = 0; i < 4; ++i)
        expect_cut("inputimages.bmp", inputimagesarray[i], 13 * i, 0, 13, 13);
    expect_cut("buttons.bmp", poleflag, 78, 27, 13, 10);
    expect_cut("xbtn.bmp", xbuttonbmp, 0, 0, xbuttonbmp->w, xbuttonbmp->h);
    expect_cut("cursor.bmp", cursorbmp, 0, 0, cursorbmp->w, cursorbmp->h);
    expect_cut("background.bmp", background, 0, 0, 160, 120);
    expect_cut("titlescreen.bmp", titlescreen, 0, 0, 160, 120);
    expect_cut("ghetto.bmp", ghetto, 0, 0, 17, 18);
    expect_cut("ghetto2.bmp", ghetto2, 0, 0, 17, 18);
}

TEST_F(StartupTest, CutsEveryCellFromItsPlace)
{
    write_coded_sheets();
    load_in(folder);
    expect_every_cell();
    // The flag starts one row below the top of button cell 6.
    EXPECT_EQ(getpixel(poleflag, 0, 0), makecol(78, 27, 30));
    EXPECT_EQ(getpixel(bitmaparray[6], 0, 0), makecol(78, 26, 30));
}

TEST_F(StartupTest, CutsTheGamesOwnPictures)
{
    load_in(MORVASK_SOURCE_DIR);
    expect_every_cell();
    EXPECT_EQ(xbuttonbmp->w, 7);
    EXPECT_EQ(xbuttonbmp->h, 28);
    EXPECT_GE(cursorbmp->w, 5);
    EXPECT_GE(cursorbmp->h, 7);
}

// Each broken picture ends the program with status 1 and a message that
// names the file and the fault, before anything is drawn from it. (A
// missing and a cut-off picture are run through the game itself, in
// startup_run.sh.)
TEST_F(StartupTest, ABrokenPictureStopsTheGameWithItsName)
{
    write_coded_sheets();
    fs::current_path(folder);

    // Breaks one picture, expects the refusal, and mends the picture again.
    auto expect_refusal = [](const char* file, auto breakit, const char* fault) {
        const fs::path path = fs::path("bmp") / file, aside = "aside.bmp";
        fs::copy_file(path, aside);
        breakit(path);
        // The message goes to the terminal without a display; the death
        // test reads the error stream.
        EXPECT_EXIT((dup2(2, 1), load_pictures()), ::testing::ExitedWithCode(1), fault);
        fs::remove_all(path);
        fs::rename(aside, path);
    };

    expect_refusal("font2.bmp",
                   [](const fs::path& p) {
                       BITMAP* narrow = create_bitmap(142, 5);
                       clear_to_color(narrow, makecol(0, 0, 0));
                       save_bitmap(p.c_str(), narrow, nullptr);
                       destroy_bitmap(narrow);
                   },
                   "bmp/font2.bmp: it is 142x5 pixels, smaller than the 143x5");
    expect_refusal("cursor.bmp", [](const fs::path& p) { std::ofstream(p) << "not a picture"; },
                   "bmp/cursor.bmp: it is not a BMP picture");
}

TEST_F(StartupTest, MusicPlaysTheGamesModuleOrKeepsQuiet)
{
    fs::current_path(MORVASK_SOURCE_DIR);
    init_sound();
    ASSERT_NE(music, nullptr);
    // A restart stops the running player first; one left running would
    // leak, which the sanitizer build reports.
    playmusic(1);
    playmusic(1);
    al_poll_duh(dplay);
    stopmusic();
    EXPECT_EQ(dplay, nullptr);

    // Without a module no player starts, and every poll returns at once.
    unload_duh(music);
    music = nullptr;
    playmusic(1);
    EXPECT_EQ(dplay, nullptr);
    EXPECT_EQ(al_poll_duh(dplay), 1);
    stopmusic();
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    return RUN_ALL_TESTS();
}
