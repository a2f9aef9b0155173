// Start-up: the library and its drivers, the 30 Hz tick counter, the display,
// the pictures and their cells, and the program-wide flags.
#include "screens.h"
#include "widgets.h"
#include "morvask.h"
#include "rules.h"

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>
#include <pthread.h>

std::atomic<int> speed_count(0);
bool quit = false;
bool leave = false;
int consequences = 0;
std::atomic<bool> terminated(false);

BITMAP* titlebutton[2];
BITMAP* bitmaparray[14];
BITMAP* xbuttonbmp;
BITMAP* inputimagesarray[4];
BITMAP* poleflag;
BITMAP* background;
BITMAP* titlescreen;

// Runs on the library's timer thread; the main thread decrements the same
// counter, so the change must be atomic.
void increment_speed_counter()
{
    speed_count.fetch_add(1);
}
END_OF_FUNCTION(increment_speed_counter)

// A signal to end, or the window's close button, arrives on whatever thread
// the system or the library picks and may interrupt the library holding its
// locks, so the handler only raises a flag that the screen loops read; a
// lock-free atomic is safe to set from there.
static_assert(ATOMIC_BOOL_LOCK_FREE == 2, "the signal flag must be lock-free");

static void end_on_signal(int)
{
    terminated = true;
}

static void end_on_close()
{
    end_on_signal(SIGTERM);
}
END_OF_STATIC_FUNCTION(end_on_close)

static const int endsignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

void catch_end_signals()
{
    struct sigaction action = {};
    action.sa_handler = end_on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : endsignals)
        sigaction(signal, &action, nullptr);
}

// The game cannot run without its display or a picture, so it says what is
// wrong and leaves; it never goes on to draw from a picture it lacks.
[[noreturn]] static void fail(const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    // A message box cannot show over the full-screen display.
    if (screen)
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("%s\n", text);
    exit(1);
}

// The library's own error text, when it left one, says the most.
[[noreturn]] static void fail_library(const char* what)
{
    fail("%s%s%s", what, *allegro_error ? "\n" : "", allegro_error);
}

// The largest file a picture the game reads can need: the longest headers,
// a full palette and 4096 rows of 4096 pixels of four bytes.
static const long maxfile = 14 + 40 + 12 + 1024 + 4096L * 4096 * 4;

// The library reads whatever a file's headers say, so each picture is read
// and checked whole before the library sees it.
static void check_file(const char* path)
{
    FILE* f = fopen(path, "rb");
    if (!f) {
        if (errno == ENOENT)
            fail("Cannot load the picture %s: the file is missing.\n"
                 "Start the game from the folder that holds bmp/.", path);
        fail("Cannot load the picture %s: %s.", path, strerror(errno));
    }
    std::vector<unsigned char> file;
    unsigned char block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, f)) > 0 && long(file.size()) <= maxfile)
        file.insert(file.end(), block, block + got);
    int error = ferror(f) ? errno : 0;
    fclose(f);
    if (error)
        fail("Cannot load the picture %s: %s.", path, strerror(error));
    if (long(file.size()) > maxfile)
        fail("Cannot load the picture %s: it is larger than any picture the game reads.", path);
    std::string fault = bmp_fault(file);
    if (!fault.empty())
        fail("Cannot load the picture %s: %s.", path, fault.c_str());
}

// Loads a picture that must hold at least w x h pixels: the cells cut from
// it, or the part of it that is drawn.
static BITMAP* load_picture(const char* path, int w, int h)
{
    check_file(path);
    BITMAP* b = load_bitmap(path, nullptr);
    if (!b)
        fail("Cannot load the picture %s: it is not a BMP picture the game can read.", path);
    if (b->w < w || b->h < h)
        fail("Cannot load the picture %s: it is %dx%d pixels, "
             "smaller than the %dx%d the game takes from it.", path, b->w, b->h, w, h);
    return b;
}

static BITMAP* cut(BITMAP* sheet, int sx, int sy, int w, int h)
{
    BITMAP* cell = create_bitmap(w, h);
    blit(sheet, cell, sx, sy, 0, 0, w, h);
    return cell;
}

void load_pictures()
{
    BITMAP* sheet = load_picture("bmp/font.bmp", 4 * 35 + 3, 5);
    BITMAP* redsheet = load_picture("bmp/font2.bmp", 4 * 35 + 3, 5);
    for (int i = 0; i < 36; ++i) {
        fontbmp[i] = cut(sheet, 4 * i, 0, 3, 5);
        redfontbmp[i] = cut(redsheet, 4 * i, 0, 3, 5);
    }
    destroy_bitmap(sheet);
    destroy_bitmap(redsheet);

    sheet = load_picture("bmp/titlebuttons.bmp", 2 * 36, 68);
    for (int i = 0; i < 2; ++i)
        titlebutton[i] = cut(sheet, 36 * i, 0, 36, 68);
    destroy_bitmap(sheet);

    // Strips are four frames high; the single pictures come from the third
    // row of frames.
    sheet = load_picture("bmp/buttons.bmp", 14 * 13, 52);
    xbuttonbmp = load_picture("bmp/xbtn.bmp", 7, 4 * 7);
    for (int i = 0; i < 14; ++i) {
        bool strip = i == 0 || i == 2 || i == 4 || i == 5 || i == 7 || i == 11 || i == 13;
        bitmaparray[i] = strip ? cut(sheet, 13 * i, 0, 13, 52) : cut(sheet, 13 * i, 26, 13, 13);
    }
    destroy_bitmap(sheet);

    sheet = load_picture("bmp/inputimages.bmp", 4 * 13, 13);
    for (int i = 0; i < 4; ++i)
        inputimagesarray[i] = cut(sheet, 13 * i, 0, 13, 13);
    destroy_bitmap(sheet);

    // The flag leaves out the cell's top row.
    poleflag = cut(bitmaparray[6], 0, 1, 13, 10);

    cursorbmp = load_picture("bmp/cursor.bmp", 5, 7);
    background = load_picture("bmp/background.bmp", 160, 120);
    titlescreen = load_picture("bmp/titlescreen.bmp", 160, 120);
    ghetto = load_picture("bmp/ghetto.bmp", 17, 18);
    ghetto2 = load_picture("bmp/ghetto2.bmp", 17, 18);
}

// Full screen as the game is meant to be seen; a window where the system
// cannot give that mode.
static void set_display()
{
    if (set_gfx_mode(GFX_AUTODETECT_FULLSCREEN, 640, 480, 0, 0) == 0)
        return;
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 640, 480, 0, 0) == 0)
        return;
    fail_library("Cannot set a 640x480 display in 32-bit colour, "
                 "neither full screen nor in a window.");
}

void init()
{
    catch_display_errors();
    // The library puts in its own handlers, which shut it down from inside
    // the signal; ours replace them. Until they do, the signals to end wait,
    // and the library's threads started meanwhile never take them.
    sigset_t ends, before;
    sigemptyset(&ends);
    for (int signal : endsignals)
        sigaddset(&ends, signal);
    pthread_sigmask(SIG_BLOCK, &ends, &before);
    // On its own connection, while the library has no threads to meet the
    // probe's errors. That connection stays open until the library's own is
    // up: a server resets when its last client leaves, or ends if told to,
    // and drops a connection that arrives meanwhile, so a game that is its
    // server's only client would lose its display in the gap.
    check_shared_memory();
    // Without a system driver every later call of the library would crash.
    if (allegro_init() != 0)
        fail_library("Cannot start the graphics library: is there a display?");
    catch_end_signals();
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    LOCK_FUNCTION(end_on_close);
    set_close_button_callback(end_on_close);
    init_sound();
    set_color_depth(32);
    install_keyboard();
    latch_escape();
    install_mouse();
    latch_mouse_presses();
    install_timer();
    set_alpha_blender();
    LOCK_VARIABLE(speed_count);
    LOCK_FUNCTION(increment_speed_counter);
    install_int_ex(increment_speed_counter, 39772);
    set_display();
    // The library's connection is up, so the server keeps a client of ours.
    close_probe();
    buffer = create_bitmap(160, 120);
    load_pictures();
    flamecycle[0] = makecol(237, 28, 36);
    flamecycle[1] = makecol(255, 246, 127);
    flamecycle[2] = makecol(252, 167, 38);
    flamecycle[3] = makecol(238, 42, 36);
    flamecycle[4] = makecol(212, 49, 39);
    showmessage = showDialog;
    srand(time(nullptr));
}
