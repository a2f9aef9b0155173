// Loaded in front of the graphics library by the start-up script, it refuses
// the display modes named in REFUSE_DISPLAY ("fullscreen" or "all"), as a
// system without those modes would, so the game's fallbacks can be seen.
#include <allegro.h>
#include <dlfcn.h>
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
