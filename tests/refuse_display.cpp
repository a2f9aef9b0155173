// Loaded in front of the graphics library by the runs of the game, it refuses
// the display modes named in REFUSE_DISPLAY ("fullscreen" or "all"), as a
// system without those modes would, so the game's fallbacks can be seen.
// With DISPLAY_LOG set, it also writes a line to that file for each
// connection to the X server that the game opens or closes, in their order.
#include <allegro.h>
#include <dlfcn.h>
#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int set_gfx_mode(int card, int w, int h, int v_w, int v_h)
{
    const char* refuse = getenv("REFUSE_DISPLAY");
    bool all = refuse && strcmp(refuse, "all") == 0;
    bool fullscreen = refuse && strcmp(refuse, "fullscreen") == 0;
    if (card != GFX_TEXT && (all || (fullscreen && card == GFX_AUTODETECT_FULLSCREEN))) {
        ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, "mode refused by the test");
        return -1;
    }
    auto real = reinterpret_cast<int (*)(int, int, int, int, int)>(dlsym(RTLD_NEXT, "set_gfx_mode"));
    return real(card, w, h, v_w, v_h);
}

// A line goes out in one write on fclose, so a reader sees at most the
// last one cut short.
static void log_connection(const char* line)
{
    if (const char* path = getenv("DISPLAY_LOG"))
        if (FILE* f = fopen(path, "a")) {
            fputs(line, f);
            fclose(f);
        }
}

// An open is logged once made and a close before it is made, so two that
// the log shows overlapping did overlap.
extern "C" Display* XOpenDisplay(const char* name)
{
    auto real = reinterpret_cast<Display* (*)(const char*)>(dlsym(RTLD_NEXT, "XOpenDisplay"));
    Display* display = real(name);
    if (display)
        log_connection("open\n");
    return display;
}

extern "C" int XCloseDisplay(Display* display)
{
    log_connection("close\n");
    auto real = reinterpret_cast<int (*)(Display*)>(dlsym(RTLD_NEXT, "XCloseDisplay"));
    return real(display);
}
