// Starts the graphics library without a display for the widget tests and
// gives every test a fresh buffer, fonts and an empty widget list.
#include "widgets_fixture.h"

#include <cerrno>
#include <cstdlib>

int glyphcolour(int glyph)
{
    return makecol(10 + glyph, 100, 200);
}

int redglyphcolour(int glyph)
{
    return makecol(250, 10 + glyph, 0);
}

static void make_font(BITMAP* font[36], int (*colour)(int))
{
    for (int i = 0; i < 36; i++) {
        font[i] = create_bitmap(3, 5);
        clear_to_color(font[i], colour(i));
        putpixel(font[i], glyphholex, glyphholey, makecol(255, 0, 255));
    }
}

static void release_font(BITMAP* font[36])
{
    for (int i = 0; i < 36; i++) {
        destroy_bitmap(font[i]);
        font[i] = nullptr;
    }
}

void WidgetTest::SetUp()
{
    paper = makecol(0, 0, 64);
    black = makecol(0, 0, 0);
    yellow = makecol(255, 255, 0);
    red = makecol(255, 0, 0);
    pink = makecol(255, 0, 255);
    buffer = create_bitmap(160, 120);
    clear_to_color(buffer, paper);
    make_font(fontbmp, glyphcolour);
    make_font(redfontbmp, redglyphcolour);
    statustext = nulltext;
    mouse_x = 0;
    mouse_y = 0;
    mouse_b = 0;
    left_button_down();
}

void WidgetTest::TearDown()
{
    destroy_widgets();
    delete morvask;
    morvask = nullptr;
    mouse_callback = nullptr;
    release_font(fontbmp);
    release_font(redfontbmp);
    for (BITMAP* b : pictures)
        destroy_bitmap(b);
    destroy_bitmap(buffer);
    buffer = nullptr;
}

BITMAP* WidgetTest::picture(int w, int h, int colour)
{
    BITMAP* b = create_bitmap(w, h);
    clear_to_color(b, colour);
    pictures.push_back(b);
    return b;
}

void WidgetTest::point_at(int x, int y, bool down)
{
    mouse_x = 4 * x + 3;
    mouse_y = 4 * y + 2;
    mouse_b = down ? 1 : 0;
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 1;
    set_color_depth(32);
    return RUN_ALL_TESTS();
}
