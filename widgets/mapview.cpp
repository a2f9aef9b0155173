// The date in the corner and the city map with the quarter, its wall and the
// fires, both read from the running game's model at every draw.
#include "widgets.h"
#include "morvask.h"

BITMAP* ghetto = nullptr;
BITMAP* ghetto2 = nullptr;

// An overlay fades in over this many draws, alpha = draws / 4, then is copied
// opaquely.
static const int fadelimit = 1019;
static const int overlayx = 82, overlayy = 22, overlayw = 17, overlayh = 18;

Date_Display::Date_Display(int x, int y, int w, int h, const char* label)
    : Screen_Element(x, y, w, h, label, true)
{
}

void Date_Display::draw()
{
    draw_text(fontbmp, month_text[morvask->month], x + 1, y + 1);
    draw_text(fontbmp, year_text[morvask->year], x + 17, y + 1);
}

MapView::MapView(int x, int y, int w, int h, const char* label)
    : Screen_Element(x, y, w, h, label, true)
{
}

static void fade_in(BITMAP* overlay, int alpha)
{
    set_trans_blender(255, 255, 255, alpha);
    draw_trans_sprite(buffer, overlay, overlayx, overlayy);
}

static void copy_overlay(BITMAP* overlay)
{
    blit(overlay, buffer, 0, 0, overlayx, overlayy, overlayw, overlayh);
}

void MapView::draw()
{
    // Frames drawn of each fade; they outlive a game, so a quarter that has
    // once faded in shows at once in every later game.
    static int ghettotimer = 0;
    static int walltimer = 0;

    if (morvask->jewishquarter) {
        if (ghettotimer <= fadelimit) {
            ghettotimer++;
            fade_in(ghetto2, ghettotimer / 4);
        } else if (!morvask->wall) {
            copy_overlay(ghetto2);
        } else if (walltimer <= fadelimit) {
            walltimer++;
            copy_overlay(ghetto2);
            fade_in(ghetto, walltimer / 4);
        } else {
            copy_overlay(ghetto);
        }
    }

    // Compared in double: unrest a hair above 0.1 lights a sixth fire.
    double fires = static_cast<double>(morvask->unrest) * 50;
    for (int i = 0; i < 50 && i < fires; i++) {
        if (changeflame)
            flame[i].colour = flamecycle[rng() % flamecyclelength];
        putpixel(buffer, flame[i].x, flame[i].y, flame[i].colour);
    }
    changeflame = false;
}
