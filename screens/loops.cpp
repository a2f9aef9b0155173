// The screen loops: the one frame every screen runs, and on it the intro,
// title, preface, game and ending screens.
#include "screens.h"
#include "widgets.h"
#include "morvask.h"

static const int screenw = 160;
static const int screenh = 120;

static int beige()
{
    return makecol(245, 233, 162);
}

void screen_loop(const std::function<bool()>& running,
                 const std::function<bool()>& tick,
                 const std::function<void()>& draw, bool pointer)
{
    while (!terminated && running()) {
        al_poll_duh(dplay);
        // Only the ticks follow the timer; every one already counted runs,
        // even after one of them has made the end test true.
        while (speed_count > 0) {
            if (!tick())
                return;
            --speed_count;
        }
        draw();
        if (pointer)
            drawCursor();
        stretch_blit(buffer, screen, 0, 0, screenw, screenh, 0, 0, 640, 480);
    }
    if (terminated)
        quit = true;
}

void introloop()
{
    // Ticks counted while the pictures loaded are dropped, here and only here.
    speed_count = 0;
    int n = 0;
    position_mouse(400, 200);
    screen_loop([] { return !quit && !warover; },
                [&n] {
                    poll_pointer();
                    ++n;
                    if (escape_pressed())
                        quit = true;
                    if (n > 60 || left_button_down() || keypressed()) {
                        position_mouse(400, 200);
                        return false;
                    }
                    return true;
                },
                [] {
                    clear_to_color(buffer, beige());
                    textout_ex(buffer, font, "vossendar presents", 4, 50, makecol(0, 0, 0), beige());
                },
                false);
}

// ESC presses counted on the library's input thread since a tick last looked.
static std::atomic<int> escapes(0);

static void count_escape(int scancode)
{
    if (scancode == KEY_ESC)
        escapes++;
}
END_OF_STATIC_FUNCTION(count_escape)

void latch_escape()
{
    LOCK_FUNCTION(count_escape);
    LOCK_VARIABLE(escapes);
    keyboard_lowlevel_callback = count_escape;
}

bool escape_pressed()
{
    bool latched = escapes.exchange(0) > 0;
    return key[KEY_ESC] || latched;
}

void poll_pointer()
{
    if (mouse_needs_poll())
        poll_mouse();
}

// One tick of the title, preface and ending screens.
static bool menu_tick()
{
    poll_pointer();
    if (escape_pressed())
        quit = true;
    mouse_input();
    return true;
}

void titleloop()
{
    bool start = false;
    position_mouse(400, 100);
    elementarray.clear();
    elementarray.push_back(new Set_Button(62, 64, 36, 17, titlebutton[0], "play new game", true, true, &start));
    elementarray.push_back(new Set_Button(62, 85, 36, 17, titlebutton[1], "play new game", true, true, &quit));
    screen_loop([&start] { return !start && !quit; }, menu_tick,
                [] {
                    blit(titlescreen, buffer, 0, 0, 0, 0, screenw, screenh);
                    drawGUI();
                },
                true);
    destroy_widgets();
}

TextBlock preface_text()
{
    return {"morvask has finally fallen", "we have established a new government", "rule it well", ""};
}

TextBlock ending_text(int consequences)
{
    switch (consequences) {
    case 0:
        return {"when the russians arrived", "they defeated the general government", "", ""};
    case 1:
        return {"the general government went bankrupt", "and collapsed", "", ""};
    case 2:
        return {"the general government was overthrown", "by the brave people of morvask", "", ""};
    default:
        return {};
    }
}

void draw_text_screen(const TextBlock& lines)
{
    clear_to_color(buffer, beige());
    drawGUI();
    for (size_t i = 0; i < lines.size(); ++i)
        draw_text(fontbmp, lines[i].c_str(), 5, 30 + 20 * int(i));
}

// The preface and the ending: a page of text and one button to go on.
static void text_screen(const TextBlock& lines)
{
    bool done = false;
    position_mouse(400, 100);
    elementarray.clear();
    elementarray.push_back(new Set_Button(73, 93, 13, 13, bitmaparray[13], "play new game", true, true, &done));
    screen_loop([&done] { return !done && !quit; }, menu_tick,
                [&lines] { draw_text_screen(lines); }, true);
    destroy_widgets();
}

void prefaceloop()
{
    text_screen(preface_text());
}

void gameoverloop()
{
    if (!warover)
        return;
    warover = false;
    text_screen(ending_text(consequences));
}

void game_tick()
{
    poll_pointer();
    // Buttons and sliders write into the model here, so this tick's logic
    // already sees a click.
    mouse_input();
    if (escape_pressed())
        quit = true;
    int r = do_logic();
    if (r != 0) {
        consequences = r;
        warover = true;
    }
    process_emergencies();
}

void draw_game_screen()
{
    blit(background, buffer, 0, 0, 0, 0, screenw, screenh);
    drawGUI();
}

void gameloop()
{
    if (quit)
        return;
    init_gamevars();
    position_mouse(400, 200);
    screen_loop([] { return !quit && !leave && !warover; },
                [] {
                    game_tick();
                    return true;
                },
                draw_game_screen, true);
    // The model outlives its widgets; the next game replaces it.
    destroy_widgets();
}
