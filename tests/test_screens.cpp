// The screens without a display: the text pages, the message box, a new
// game's set-up, the game screen's tick and whole screens run through their
// loops, on memory pictures. A helper thread stands in for the timer and the
// player where a box or a screen must be closed.
#include <gtest/gtest.h>

#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "morvask.h"
#include "rules.h"
#include "screens.h"
#include "widgets.h"

// Glyph i of the normal font is a solid 3x5 block of its own colour, so the
// text drawn can be read back from the pixels.
static int glyphcolour(int i)
{
    return makecol(20 + 5 * i, 40, 60);
}

static char glyphchar(int i)
{
    return i < 26 ? char('a' + i) : char('0' + i - 26);
}

static BITMAP* filled(int w, int h, int colour)
{
    BITMAP* b = create_bitmap(w, h);
    clear_to_color(b, colour);
    return b;
}

// The start-up's pictures, made once: every strip's frame k has its own
// colour, so a button's drawn state shows in its pixels.
static int framecolour(int k)
{
    return makecol(200, 30 * k, 0);
}

static BITMAP* strip(int w, int h)
{
    BITMAP* b = create_bitmap(w, 4 * h);
    for (int k = 0; k < 4; k++)
        rectfill(b, 0, k * h, w - 1, k * h + h - 1, framecolour(k));
    return b;
}

class Pictures : public ::testing::Environment {
public:
    void SetUp() override
    {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        set_color_depth(32);
        buffer = create_bitmap(160, 120);
        screen = create_bitmap(640, 480);
        for (int i = 0; i < 36; i++) {
            fontbmp[i] = filled(3, 5, glyphcolour(i));
            redfontbmp[i] = filled(3, 5, makecol(250, i, 0));
        }
        cursorbmp = filled(5, 7, makecol(1, 2, 3));
        titlebutton[0] = strip(36, 17);
        titlebutton[1] = strip(36, 17);
        for (BITMAP*& b : bitmaparray)
            b = strip(13, 13);
        xbuttonbmp = strip(7, 7);
        for (BITMAP*& b : inputimagesarray)
            b = filled(13, 13, makecol(0, 90, 0));
        poleflag = filled(13, 10, makecol(0, 0, 90));
        background = filled(160, 120, makecol(70, 70, 70));
        titlescreen = filled(160, 120, makecol(80, 80, 80));
        ghetto = filled(17, 18, makecol(90, 0, 0));
        ghetto2 = filled(17, 18, makecol(91, 0, 0));
        for (int i = 0; i < flamecyclelength; i++)
            flamecycle[i] = makecol(255, 40 * i, 0);
        latch_mouse_presses();
        latch_escape();
    }
};

static const ::testing::Environment* const pictures =
    ::testing::AddGlobalTestEnvironment(new Pictures);

static int beige()
{
    return makecol(245, 233, 162);
}

static int pale()
{
    return makecol(225, 248, 127);
}

// Reads n character cells of text whose first cell is at (x, y): a cell that
// is one glyph's block reads as that glyph, a cell of `paper` as a space, and
// anything else as '?'.
static std::string read_text(int x, int y, int n, int paper)
{
    std::string s;
    for (int j = 0; j < n; j++) {
        int cx = x + 4 * j;
        int c = getpixel(buffer, cx, y);
        char ch = '?';
        if (c == paper)
            ch = ' ';
        for (int g = 0; g < 36; g++)
            if (c == glyphcolour(g))
                ch = glyphchar(g);
        for (int py = 0; py < 5; py++)
            for (int px = 0; px < 3; px++)
                if (getpixel(buffer, cx + px, y + py) != c)
                    ch = '?';
        // The column between two cells is never inked.
        for (int py = 0; py < 5; py++)
            if (getpixel(buffer, cx + 3, y + py) != paper)
                ch = '?';
        s += ch;
    }
    return s;
}

static std::string padded(std::string s, size_t n)
{
    s.resize(n, ' ');
    return s;
}

// Counts the pixels of a rectangle, both corners included, that are not c.
static int pixels_not(BITMAP* b, int x1, int y1, int x2, int y2, int c)
{
    int n = 0;
    for (int y = y1; y <= y2; y++)
        for (int x = x1; x <= x2; x++)
            n += getpixel(b, x, y) != c;
    return n;
}

static void point_at(int x, int y, bool down)
{
    mouse_x = 4 * x + 2;
    mouse_y = 4 * y + 1;
    mouse_b = down ? 1 : 0;
}

static std::vector<std::string> shown;

static void record_message(std::string m)
{
    shown.push_back(m);
}

class ScreensTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        quit = leave = warover = false;
        consequences = 0;
        speed_count = 0;
        statustext = nulltext;
        point_at(0, 0, false);
        key[KEY_ESC] = 0;
        escape_pressed();
        terminated = false;
        left_button_down();
        showmessage = record_message;
        shown.clear();
    }
    void TearDown() override
    {
        destroy_widgets();
        delete morvask;
        morvask = nullptr;
        showmessage = nullptr;
        rng = rand;
        quit = false;
    }
};

// --- The preface and the endings -------------------------------------------

TEST_F(ScreensTest, PrefaceLinesStand20PixelsApartFromX5)
{
    const TextBlock lines = preface_text();
    EXPECT_EQ(lines[0], "morvask has finally fallen");
    EXPECT_EQ(lines[1], "we have established a new government");
    EXPECT_EQ(lines[2], "rule it well");
    EXPECT_EQ(lines[3], "");

    clear_to_color(buffer, makecol(1, 1, 1));
    draw_text_screen(lines);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(read_text(5, 30 + 20 * i, 38, beige()), padded(lines[i], 38)) << "line " << i;
    // The longest line, 36 characters, ends at x = 147.
    EXPECT_NE(getpixel(buffer, 147, 50), beige());
    EXPECT_EQ(pixels_not(buffer, 148, 50, 159, 54, beige()), 0);
    // Nothing is drawn between the lines or around them.
    EXPECT_EQ(pixels_not(buffer, 0, 0, 159, 29, beige()), 0);
    EXPECT_EQ(pixels_not(buffer, 0, 35, 159, 49, beige()), 0);
    EXPECT_EQ(pixels_not(buffer, 0, 75, 159, 119, beige()), 0);
}

TEST_F(ScreensTest, EachEndingHasItsTwoLines)
{
    struct Case {
        int consequences;
        const char* line0;
        const char* line1;
    };
    const Case cases[] = {
        {0, "when the russians arrived", "they defeated the general government"},
        {1, "the general government went bankrupt", "and collapsed"},
        {2, "the general government was overthrown", "by the brave people of morvask"},
    };
    for (const Case& c : cases) {
        clear_to_color(buffer, makecol(1, 1, 1));
        draw_text_screen(ending_text(c.consequences));
        EXPECT_EQ(read_text(5, 30, 38, beige()), padded(c.line0, 38)) << c.consequences;
        EXPECT_EQ(read_text(5, 50, 38, beige()), padded(c.line1, 38)) << c.consequences;
        EXPECT_EQ(pixels_not(buffer, 0, 55, 159, 119, beige()), 0) << c.consequences;
    }
}

TEST_F(ScreensTest, AnyOtherEndingShowsOnlyTheButton)
{
    bool done = false;
    elementarray.push_back(new Set_Button(73, 93, 13, 13, bitmaparray[13], "play new game", true, true, &done));
    for (int c : {3, -1, 1000}) {
        clear_to_color(buffer, makecol(1, 1, 1));
        draw_text_screen(ending_text(c));
        // The button's up frame covers (73, 93)-(85, 105); the rest is paper.
        EXPECT_EQ(getpixel(buffer, 79, 99), framecolour(0)) << c;
        EXPECT_EQ(pixels_not(buffer, 0, 0, 159, 92, beige()), 0) << c;
        EXPECT_EQ(pixels_not(buffer, 0, 106, 159, 119, beige()), 0) << c;
    }
}

// --- The message box ---------------------------------------------------------

TEST_F(ScreensTest, BoxCoversItsRectangleAndWritesFromX5Y42)
{
    const int under = makecol(9, 9, 9);
    clear_to_color(buffer, under);
    drawDialog("construction of the wall begun");

    EXPECT_EQ(getpixel(buffer, 1, 39), pale());
    EXPECT_EQ(getpixel(buffer, 158, 71), pale());
    EXPECT_EQ(pixels_not(buffer, 1, 39, 158, 41, pale()), 0);
    EXPECT_EQ(pixels_not(buffer, 1, 47, 158, 71, pale()), 0);
    EXPECT_EQ(pixels_not(buffer, 0, 0, 159, 38, under), 0);
    EXPECT_EQ(pixels_not(buffer, 0, 72, 159, 119, under), 0);
    EXPECT_EQ(pixels_not(buffer, 0, 39, 0, 71, under), 0);
    EXPECT_EQ(pixels_not(buffer, 159, 39, 159, 71, under), 0);
    EXPECT_EQ(read_text(5, 42, 38, pale()), padded("construction of the wall begun", 38));
}

TEST_F(ScreensTest, LongestMessageEndsInsideTheBox)
{
    clear_to_color(buffer, makecol(9, 9, 9));
    drawDialog("the poles have been successfully moved");
    EXPECT_EQ(read_text(5, 42, 38, pale()), "the poles have been successfully moved");
    EXPECT_EQ(getpixel(buffer, 155, 42), glyphcolour(chartonum('d')));
    EXPECT_EQ(pixels_not(buffer, 156, 39, 158, 71, pale()), 0);
}

TEST_F(ScreensTest, EmptyMessageShowsNoBox)
{
    const int under = makecol(9, 9, 9);
    clear_to_color(buffer, under);
    speed_count = 5;
    showDialog("");
    EXPECT_EQ(speed_count, 5);
    EXPECT_EQ(pixels_not(buffer, 0, 0, 159, 119, under), 0);
}

// The timer and the player in one: each step sets the mouse or the keys, then
// counts one tick and waits until the box has run it. A step that is never
// run (the box has closed) fails the test instead of hanging it.
class Player {
public:
    explicit Player(std::vector<std::function<void()>> steps)
        : thread([this, steps] {
              for (const auto& step : steps) {
                  step();
                  ++speed_count;
                  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                  while (speed_count > 0 && std::chrono::steady_clock::now() < until)
                      std::this_thread::sleep_for(std::chrono::milliseconds(1));
                  if (speed_count > 0) {
                      unrun = true;
                      return;
                  }
              }
          })
    {
    }
    ~Player()
    {
        if (thread.joinable())
            thread.join();
    }
    void finish()
    {
        thread.join();
        thread = std::thread();
    }
    bool all_run() const { return !unrun; }

private:
    std::atomic<bool> unrun{false};
    std::thread thread;
};

// The ok button covers (73, 57)-(85, 69).
static std::function<void()> at_ok(bool down)
{
    return [down] { point_at(79, 63, down); };
}

static std::function<void()> at(int x, int y, bool down)
{
    return [x, y, down] { point_at(x, y, down); };
}

TEST_F(ScreensTest, BoxWaitsForAPressAndReleaseOnItsButton)
{
    init_gamevars();
    const float treasury = morvask->treasury;
    speed_count = 3;   // ticks already due when the box opens are its own
    Player player({at_ok(false), at_ok(true), at(20, 20, false), at_ok(true), at_ok(false)});
    showDialog("construction of the wall begun");
    EXPECT_EQ(speed_count, 0);
    player.finish();
    EXPECT_TRUE(player.all_run());
    EXPECT_EQ(dialogcapturing, nullptr);
    EXPECT_EQ(morvask->treasury, treasury);
    EXPECT_EQ(morvask->ticks, 0);
    // The last frame shows the box over the game screen, enlarged 4 times.
    EXPECT_EQ(getpixel(screen, 4 * 2, 4 * 40), pale());
    EXPECT_EQ(getpixel(screen, 4 * 2, 4 * 80), makecol(70, 70, 70));
    EXPECT_EQ(getpixel(screen, 4 * 74, 4 * 68), framecolour(2));
}

TEST_F(ScreensTest, AQuickClickOnTheButtonIsNotLost)
{
    init_gamevars();
    Player player({[] {
                       point_at(79, 63, false);
                       mouse_callback(MOUSE_FLAG_LEFT_DOWN);
                       mouse_callback(MOUSE_FLAG_LEFT_UP);
                   },
                   at_ok(false)});
    showDialog("deportation has begun");
    player.finish();
    EXPECT_TRUE(player.all_run());
}

TEST_F(ScreensTest, ButtonHeldWhenTheBoxOpensTakesTheMouseAtOnce)
{
    init_gamevars();
    point_at(79, 63, true);
    Player player({at_ok(true), at_ok(false)});
    showDialog("deportation has begun");
    player.finish();
    EXPECT_TRUE(player.all_run());
}

// The tap is shorter than a tick: only the keyboard latch sees it.
TEST_F(ScreensTest, EscapeInABoxSetsQuitButTheBoxStays)
{
    init_gamevars();
    Player player({[] {
                       keyboard_lowlevel_callback(KEY_ESC);
                       keyboard_lowlevel_callback(KEY_ESC | 0x80);
                   },
                   at_ok(false), at_ok(true), at_ok(false)});
    showDialog("we are being overthrown");
    player.finish();
    EXPECT_TRUE(player.all_run());
    EXPECT_TRUE(quit);
}

// A signal to end lands on any thread and only raises a flag; the open box
// closes on it without its ok, and the program leaves as by ESC. Were the
// signal missed, the player would close the box and the test fail, not hang.
TEST_F(ScreensTest, ASignalClosesAnOpenBoxAndEndsTheProgram)
{
    catch_end_signals();
    init_gamevars();
    std::atomic<bool> closed(false), rescued(false);
    std::thread sender([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        kill(getpid(), SIGTERM);
        for (int i = 0; i < 200 && !closed; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (closed)
            return;
        rescued = true;
        for (bool down : {true, false}) {
            point_at(79, 63, down);
            ++speed_count;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    showDialog("we are being overthrown");
    closed = true;
    sender.join();
    EXPECT_FALSE(rescued);
    EXPECT_TRUE(terminated);
    EXPECT_TRUE(quit);
}

TEST_F(ScreensTest, HoveringTheOkButtonShowsItsLabelInTheStatusLine)
{
    init_gamevars();
    const char* seen = nullptr;
    Player player({at_ok(false), [&seen] { seen = statustext; }, at(10, 110, false),
                   [&seen] { EXPECT_EQ(statustext, nulltext); }, at_ok(true), at_ok(false)});
    showDialog("deportation has begun");
    player.finish();
    ASSERT_NE(seen, nullptr);
    EXPECT_STREQ(seen, "ok button");
}

TEST_F(ScreensTest, BoxRaisedInAGameTickLeavesTheCounterAtMinusOne)
{
    init_gamevars();
    showmessage = showDialog;
    speed_count = 1;   // the game tick's own
    point_at(100, 50, false);
    Player player({at_ok(true), at_ok(false)});
    // The first tick of every game opens "general government is established".
    game_tick();
    --speed_count;
    player.finish();
    EXPECT_TRUE(player.all_run());
    EXPECT_EQ(speed_count, -1);
    EXPECT_EQ(morvask->ticks, 1);
}

TEST_F(ScreensTest, SliderHeldUnderABoxStillHoldsTheMouseAfterIt)
{
    init_gamevars();
    Screen_Element* tax = elementarray[12];
    point_at(70, 85, true);
    mouse_input();
    ASSERT_EQ(capturing, tax);
    Player player({at_ok(true), at_ok(false)});
    showDialog("we are running low on funds");
    player.finish();
    EXPECT_EQ(capturing, tax);
}

// --- A new game ----------------------------------------------------------------

TEST_F(ScreensTest, NewGameClearsTheFlagsButQuit)
{
    consequences = 2;
    warover = leave = quit = true;
    init_gamevars();
    EXPECT_EQ(consequences, 0);
    EXPECT_FALSE(warover);
    EXPECT_FALSE(leave);
    EXPECT_TRUE(quit);
}

TEST_F(ScreensTest, NewGameListsTheNineteenWidgetsOfTheLayout)
{
    init_gamevars();
    const Morvask& m = *morvask;
    struct Row {
        int x, y, w, h;
        const char* label;
    };
    const Row rows[19] = {
        {7, 2, 7, 7, "quit"},
        {4, 11, 13, 13, "abolish secondary education"},
        {18, 11, 13, 13, "establish jewish quarter"},
        {32, 11, 13, 13, "construct wall"},
        {4, 25, 13, 13, "mandate the jewish badge"},
        {18, 25, 13, 13, "mandate the polish badge"},
        {32, 25, 13, 13, "start the trains"},
        {4, 40, 41, 13, "total population"},
        {4, 54, 41, 10, "polish population in and out of ghetto"},
        {4, 65, 41, 13, "jewish population in and out of ghetto"},
        {4, 79, 41, 13, "german population"},
        {4, 93, 41, 13, "treasury funds remaining"},
        {53, 79, 50, 13, "tax rate"},
        {106, 79, 50, 13, "propaganda budget"},
        {53, 93, 50, 13, "military population"},
        {106, 93, 50, 13, "german immigration rate"},
        {4, 110, 154, 7, "statusbar"},
        {49, 0, 111, 77, "view of morvask"},
        {17, 2, 25, 7, "date"},
    };
    ASSERT_EQ(elementarray.size(), 19u);
    for (int i = 0; i < 19; i++) {
        const Screen_Element* e = elementarray[i];
        EXPECT_EQ(e->x, rows[i].x) << i;
        EXPECT_EQ(e->y, rows[i].y) << i;
        EXPECT_EQ(e->w, rows[i].w) << i;
        EXPECT_EQ(e->h, rows[i].h) << i;
        EXPECT_STREQ(e->label, rows[i].label) << i;
    }

    // Buttons: class, state and what each writes.
    auto set = [](int i) { return dynamic_cast<Set_Button*>(elementarray[i]); };
    auto toggle = [](int i) { return dynamic_cast<Toggle_Button*>(elementarray[i]); };
    ASSERT_TRUE(set(0) && toggle(1) && set(2) && set(3) && toggle(4) && toggle(5) && toggle(6));
    EXPECT_EQ(set(0)->target, &leave);
    EXPECT_EQ(toggle(1)->target, &m.abolisheducation);
    EXPECT_EQ(set(2)->target, &m.jewishquarter);
    EXPECT_EQ(set(3)->target, &m.wall);
    EXPECT_EQ(toggle(4)->target, &m.jewishbadge);
    EXPECT_EQ(toggle(5)->target, &m.polishbadge);
    EXPECT_EQ(toggle(6)->target, &m.trains);
    EXPECT_FALSE(set(0)->bevel);
    EXPECT_EQ(set(0)->state, 0);
    EXPECT_EQ(toggle(1)->state, 0);
    EXPECT_EQ(set(2)->state, 0);
    EXPECT_EQ(toggle(4)->state, 0);
    EXPECT_EQ(toggle(5)->state, 0);
    EXPECT_FALSE(set(3)->enabled);
    EXPECT_EQ(set(3)->state, 3);
    EXPECT_FALSE(toggle(6)->enabled);
    EXPECT_EQ(toggle(6)->state, 3);

    // Bars read the model; sliders start at 10 pixels whatever the settings.
    auto single = [](int i) { return dynamic_cast<Singlebar*>(elementarray[i]); };
    auto twin = [](int i) { return dynamic_cast<Doublebar*>(elementarray[i]); };
    ASSERT_TRUE(single(7) && twin(8) && twin(9) && single(10) && single(11));
    EXPECT_EQ(single(7)->value, &m.totalpopulation);
    EXPECT_EQ(twin(8)->values, m.poles);
    EXPECT_EQ(twin(9)->values, m.jews);
    EXPECT_EQ(single(10)->value, &m.germans);
    EXPECT_EQ(single(11)->value, &m.treasury);
    const float* settings[4] = {&m.taxrate, &m.propaganda, &m.military, &m.immigration};
    for (int i = 0; i < 4; i++) {
        auto* slider = dynamic_cast<Inputbar*>(elementarray[12 + i]);
        ASSERT_TRUE(slider) << i;
        EXPECT_EQ(slider->fill, 10) << i;
        EXPECT_EQ(slider->target, settings[i]) << i;
        EXPECT_EQ(slider->image, inputimagesarray[i]) << i;
    }
    EXPECT_TRUE(dynamic_cast<Status_Bar*>(elementarray[16]));
    EXPECT_TRUE(dynamic_cast<MapView*>(elementarray[17]));
    EXPECT_TRUE(dynamic_cast<Date_Display*>(elementarray[18]));
    EXPECT_EQ(m.taxrate, 0.2f);
}

TEST_F(ScreensTest, NewGameStartsFromNothingOfThePreviousOne)
{
    init_gamevars();
    // The previous game: the education riots queue two actions and a slider
    // holds the mouse.
    morvask->abolisheducation = true;
    do_logic();
    ASSERT_FALSE(actions.empty());
    capturing = elementarray[12];

    init_gamevars();
    EXPECT_TRUE(actions.empty());
    EXPECT_EQ(events.size(), 14u);
    EXPECT_EQ(capturing, nullptr);
    EXPECT_EQ(elementarray.size(), 19u);
    EXPECT_FALSE(morvask->abolisheducation);
    EXPECT_EQ(morvask->month, 9);
    EXPECT_EQ(morvask->treasury, 0.8f);
    // The events fire again: the first tick opens the game's first message.
    shown.clear();
    do_logic();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "general government is established");
}

static int rngcalls;

static int counting_rng()
{
    return rngcalls++;
}

TEST_F(ScreensTest, NewGamePlacesEveryFireInItsBox)
{
    rngcalls = 0;
    rng = counting_rng;
    for (FlamePixel& f : flame)
        f = FlamePixel{-1, -1, 0};
    init_gamevars();
    EXPECT_EQ(rngcalls, 200);
    for (int i = 0; i < 50; i++) {
        bool inside = false;
        for (const auto& b : flameboxes)
            inside = inside || (flame[i].x >= b[0] && flame[i].x < b[2] && flame[i].y >= b[1] && flame[i].y < b[3]);
        EXPECT_TRUE(inside) << i;
        EXPECT_EQ(flame[i].colour, flamecycle[(4 * i + 3) % 5]) << i;
    }
}

TEST_F(ScreensTest, TheQuarterEnablesTheWallAndTheTrains)
{
    init_gamevars();
    point_at(24, 17, true);
    game_tick();
    point_at(24, 17, false);
    game_tick();
    EXPECT_TRUE(morvask->jewishquarter);
    EXPECT_TRUE(elementarray[3]->enabled);
    EXPECT_TRUE(elementarray[6]->enabled);
}

// --- The game screen's tick ----------------------------------------------------

TEST_F(ScreensTest, EscapeInAGameTickStillRunsItsLogic)
{
    init_gamevars();
    key[KEY_ESC] = 1;
    game_tick();
    key[KEY_ESC] = 0;
    EXPECT_TRUE(quit);
    EXPECT_EQ(morvask->ticks, 1);
    EXPECT_FALSE(warover);
}

TEST_F(ScreensTest, AnEndingResultIsKeptAndAZeroOneChangesNothing)
{
    init_gamevars();
    game_tick();
    EXPECT_FALSE(warover);
    EXPECT_EQ(consequences, 0);

    morvask->treasury = 0.005f;
    game_tick();
    EXPECT_TRUE(warover);
    EXPECT_EQ(consequences, 1);

    morvask->treasury = 0.5f;
    morvask->germans = 0.005f;
    game_tick();
    EXPECT_EQ(consequences, 2);

    // The calendar's own end sets warover and leaves the ending at 0.
    init_gamevars();
    morvask->year = 5;
    morvask->month = 9;
    morvask->ticks = 89;
    for (int i = 0; i < 200 && !warover; i++)
        game_tick();
    EXPECT_TRUE(warover);
    EXPECT_EQ(consequences, 0);
}

// --- Whole screens -----------------------------------------------------------

// The timer of a whole screen: from its first frame on it counts one tick
// whenever the last has run, `ticks` in all. A screen still running five
// seconds after that is ended through quit and quick clicks by turns at
// (79, 72) and (79, 97), on the title's start button and the pages' continue
// button, so that a fault fails the test rather than hanging it. Returns the
// ticks counted, or -1 when the screen had to be ended.
static int run_screen(void (*loop)(), int ticks)
{
    clear_to_color(screen, 0);
    std::atomic<bool> ended{false};
    int counted = 0;
    bool forced = false;
    std::thread timer([&] {
        auto last = std::chrono::steady_clock::now();
        while (!ended) {
            if (getpixel(screen, 0, 0) != 0 && speed_count <= 0 && (counted < ticks || forced)) {
                if (forced && counted % 2 == 0) {
                    point_at(79, counted % 4 ? 97 : 72, false);
                    mouse_callback(MOUSE_FLAG_LEFT_DOWN);
                }
                ++counted;
                ++speed_count;
                last = std::chrono::steady_clock::now();
            } else if (!forced && std::chrono::steady_clock::now() - last > std::chrono::seconds(5)) {
                forced = quit = true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    loop();
    ended = true;
    timer.join();
    return forced ? -1 : counted;
}

TEST_F(ScreensTest, IntroEndsInItsSixtyFirstTickAndLeavesThatTickCounted)
{
    speed_count = 5;   // counted while the pictures loaded: dropped
    EXPECT_EQ(run_screen(introloop, 100), 61);
    EXPECT_EQ(speed_count, 1);
    // A button already held ends it in its first tick.
    point_at(0, 0, true);
    EXPECT_EQ(run_screen(introloop, 100), 1);
    EXPECT_EQ(speed_count, 1);
    EXPECT_FALSE(quit);
}

TEST_F(ScreensTest, EscapeEndsEveryPageInItsFirstTickAndNoGameStartsAfter)
{
    void (*const pages[])() = {titleloop, prefaceloop, gameoverloop};
    key[KEY_ESC] = 1;
    for (int i = 0; i < 3; i++) {
        quit = false;
        warover = true;   // an ending is shown only after a game that ended by itself
        EXPECT_EQ(run_screen(pages[i], 1), 1) << i;
        EXPECT_TRUE(quit) << i;
        EXPECT_TRUE(elementarray.empty()) << i;
    }
    key[KEY_ESC] = 0;
    // With quit set the game screen builds no game.
    EXPECT_EQ(run_screen(gameloop, 1), 0);
    EXPECT_EQ(morvask, nullptr);
}

TEST_F(ScreensTest, TheQuitButtonLeavesTheGameWithoutAnEnding)
{
    // A click quicker than a tick: pressed in the first, released in the second.
    point_at(10, 5, false);
    mouse_callback(MOUSE_FLAG_LEFT_DOWN);
    EXPECT_EQ(run_screen(gameloop, 2), 2);
    EXPECT_TRUE(leave);
    EXPECT_FALSE(warover);
    EXPECT_EQ(morvask->ticks, 2);
    EXPECT_TRUE(elementarray.empty());
    // The ending draws nothing and runs no tick.
    EXPECT_EQ(run_screen(gameoverloop, 1), 0);
}

static size_t heap_in_use()
{
    return mallinfo2().uordblks;
}

// Many games in a row, each with a few hundred ticks of play and the quit
// button: nothing may pile up from game to game (the sanitizer build checks
// for leaks; here the heap in use must stay flat).
TEST_F(ScreensTest, FiftyGamesInARowLeaveTheHeapFlat)
{
    size_t after5 = 0;
    size_t messages = 0;
    for (int game = 1; game <= 50; game++) {
        shown.clear();
        init_gamevars();
        // The quarter, the wall, the riots, the polish badge, the trains,
        // then the military slider dragged.
        const std::pair<int, int> clicks[] = {{24, 17}, {38, 17}, {10, 17}, {24, 31}, {38, 31}};
        for (int t = 0; t < 300; t++) {
            const auto& c = clicks[(t / 40) % 5];
            if (t < 200 && t % 40 == 0)
                point_at(c.first, c.second, true);
            else if (t < 200 && t % 40 == 2)
                point_at(c.first, c.second, false);
            else if (t == 250)
                point_at(90, 99, true);
            else if (t == 260)
                point_at(100, 99, false);
            game_tick();
        }
        ASSERT_TRUE(morvask->trains) << game;
        point_at(10, 5, true);
        game_tick();
        point_at(10, 5, false);
        game_tick();
        ASSERT_TRUE(leave) << game;
        destroy_widgets();
        messages += shown.size();
        if (game == 5)
            after5 = heap_in_use();
    }
    EXPECT_LT(heap_in_use(), after5 + 1024);
    EXPECT_GE(messages, 50u * 4);
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
