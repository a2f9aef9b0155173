// Start-up without a display: every cell is cut from its place in its sheet
// and to its size, from sheets whose pixels tell their own coordinates and
// from the game's own pictures; a broken picture ends the program with a
// message naming it; the music keeps quiet when it cannot play.
#include <gtest/gtest.h>

#include "screens.h"
#include "widgets.h"
#include "release_pictures.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
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

static const unsigned char pure[8][3] = {{0, 0, 0},   {255, 255, 255}, {255, 0, 0},   {0, 255, 0},
                                         {0, 0, 255}, {255, 255, 0},   {0, 255, 255}, {255, 0, 255}};

// A small BMP in pure colours, which every depth keeps exactly, written the
// way its fields say; each row of the table below bends some of them.
struct Crafted {
    uint32_t info = 40, bits = 24, compression = 0, planes = 1;
    int32_t w = 5, h = 3;
    std::vector<uint32_t> masks;   // after a 40-byte header
    uint32_t gap = 0;              // bytes between the palette and the pixels
    int dropped = 0;               // colours left out of the palette
    long cut = 0;                  // bytes cut off the end

    int colours() const { return bits == 1 ? 2 : bits <= 8 ? 8 : 0; }
    int index(int x, int y) const { return (x + 2 * y) % (bits == 1 ? 2 : 8); }

    std::vector<unsigned char> bytes() const
    {
        std::vector<unsigned char> f;
        auto put = [&f](uint32_t v, int n) {
            for (int i = 0; i < n; ++i)
                f.push_back(v >> 8 * i & 255);
        };
        const int entry = info == 12 ? 3 : 4, side = info == 12 ? 2 : 4;
        const int w1 = std::min(std::abs(w), 64), h1 = std::min(std::abs(h), 64);
        const uint32_t rowbytes = (w1 * bits + 31) / 32 * 4;
        const uint32_t offset = 14 + info + 4 * masks.size() + entry * (colours() - dropped) + gap;
        put('B' | 'M' << 8, 2), put(offset + rowbytes * h1, 4), put(0, 4), put(offset, 4);
        put(info, 4), put(w, side), put(h, side), put(planes, 2), put(bits, 2);
        if (info > 12)
            put(compression, 4), f.resize(14 + info);
        for (uint32_t m : masks)
            put(m, 4);
        for (int i = 0; i < colours() - dropped; ++i)
            put(pure[i][2] | pure[i][1] << 8 | pure[i][0] << 16, entry);
        f.resize(offset);
        const bool r565 = masks.size() == 3 && masks[0] == 0xf800;
        const bool depth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
        for (int y = h1 - 1; y >= 0; --y) {
            std::vector<unsigned char> row(rowbytes);
            for (int x = 0; depth && x < w1; ++x) {
                const unsigned char* c = pure[index(x, y)];
                uint32_t v = bits <= 8 ? index(x, y)
                           : bits == 16 ? (r565 ? (c[0] >> 3) << 11 | (c[1] >> 2) << 5 | c[2] >> 3
                                                : (c[0] >> 3) << 10 | (c[1] >> 3) << 5 | c[2] >> 3)
                                        : c[2] | c[1] << 8 | c[0] << 16;
                if (bits <= 8)
                    row[x * bits / 8] |= v << (8 - bits - x * bits % 8);
                else
                    for (uint32_t b = 0; b < bits / 8; ++b)
                        row[x * bits / 8 + b] = v >> 8 * b & 255;
            }
            f.insert(f.end(), row.begin(), row.end());
        }
        f.resize(f.size() - cut);
        return f;
    }
};

// Each kind the library cannot read safely and rightly is refused with its
// reason; each kind it can is let through, and reads back exact.
TEST_F(StartupTest, ThePictureCheckLetsThroughOnlyWhatTheLibraryReadsRightly)
{
    auto with = [](std::function<void(Crafted&)> bend) {
        Crafted c;
        bend(c);
        return c;
    };
    const std::vector<uint32_t> b555 = {0x7c00, 0x3e0, 0x1f}, b565 = {0xf800, 0x7e0, 0x1f},
                                b888 = {0xff0000, 0xff00, 0xff};
    const struct {
        Crafted picture;
        const char* fault;  // empty: accepted
    } table[] = {
        {with([](Crafted& c) { c.bits = 1; }), ""},
        {with([](Crafted& c) { c.bits = 4; }), ""},
        {with([](Crafted& c) { c.bits = 8; }), ""},
        {with([](Crafted& c) { c.bits = 16; }), ""},
        {with([&](Crafted& c) { c.bits = 16, c.compression = 3, c.masks = b565; }), ""},
        {with([&](Crafted& c) { c.bits = 16, c.compression = 3, c.masks = b555; }), ""},
        {with([](Crafted& c) { c.bits = 32; }), ""},
        {with([&](Crafted& c) { c.bits = 32, c.compression = 3, c.masks = b888; }), ""},
        {with([](Crafted& c) { c.info = 12, c.bits = 8; }), ""},
        {with([](Crafted& c) { c.info = 12; }), ""},
        {with([](Crafted& c) { c.gap = 6; }), ""},
        {with([](Crafted& c) { c.w = 61, c.h = 40; }), ""},
        {with([](Crafted& c) { c.info = 41; }), "info header of 41 bytes is none of the BMP forms"},
        {with([](Crafted& c) { c.info = 108; }), "108-byte header of a later BMP form"},
        {with([](Crafted& c) { c.info = 124; }), "124-byte header of a later BMP form"},
        {with([](Crafted& c) { c.planes = 2; }), "2 colour planes"},
        {with([](Crafted& c) { c.bits = 0; }), "0 bits per pixel"},
        {with([](Crafted& c) { c.bits = 7; }), "7 bits per pixel"},
        {with([](Crafted& c) { c.bits = 64; }), "64 bits per pixel"},
        {with([](Crafted& c) { c.bits = 8, c.compression = 1; }), "run-length compressed"},
        {with([](Crafted& c) { c.bits = 4, c.compression = 2; }), "run-length compressed"},
        {with([&](Crafted& c) { c.compression = 3, c.masks = b888; }), "stored by method 3 at 24 bits"},
        {with([](Crafted& c) { c.compression = 4; }), "stored by method 4"},
        {with([&](Crafted& c) { c.bits = 16, c.compression = 3, c.masks = {0xf00, 0xf0, 0xf}; }), "colour masks"},
        {with([&](Crafted& c) { c.bits = 32, c.compression = 3, c.masks = b888, c.gap = 4; }),
         "do not follow right after its colour masks"},
        {with([](Crafted& c) { c.w = c.h = 0x7fffffff; }), "it is 2147483647x2147483647 pixels"},
        {with([](Crafted& c) { c.w = 4097; }), "it is 4097x3 pixels"},
        {with([](Crafted& c) { c.w = -5; }), "it is -5x3 pixels"},
        {with([](Crafted& c) { c.h = -3; }), "stored top down"},
        {with([](Crafted& c) { c.bits = 4, c.dropped = 1; }), "pixel (3, 2) is colour 7 of a palette of 7"},
        {with([](Crafted& c) { c.gap = 1028; }), "room for 257 palette colours"},
        {with([](Crafted& c) { c.info = 12, c.cut = 54; }), "cut short (20 bytes, its headers need 26)"},
        // A 5-pixel row of 24 bits has one byte of padding, which counts.
        {with([](Crafted& c) { c.cut = 1; }), "cut short (101 bytes, its 5x3 pixels need 102)"},
    };
    fs::current_path(folder);
    for (const auto& row : table) {
        std::vector<unsigned char> file = row.picture.bytes();
        SCOPED_TRACE(std::string("expecting: ") + (*row.fault ? row.fault : "accepted"));
        std::string fault = bmp_fault(file);
        if (*row.fault) {
            EXPECT_NE(fault.find(row.fault), std::string::npos) << fault;
            continue;
        }
        ASSERT_EQ(fault, "");
        std::ofstream("crafted.bmp", std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
        BITMAP* b = load_bitmap("crafted.bmp", nullptr);
        ASSERT_NE(b, nullptr);
        ASSERT_EQ(b->w, row.picture.w);
        ASSERT_EQ(b->h, row.picture.h);
        for (int y = 0; y < b->h; ++y)
            for (int x = 0; x < b->w; ++x) {
                const unsigned char* c = pure[row.picture.index(x, y)];
                EXPECT_EQ(getpixel(b, x, y), makecol(c[0], c[1], c[2])) << x << "," << y;
            }
        destroy_bitmap(b);
    }
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
