// The modal message box that the rule engine raises for each fired event:
// it holds the game still and waits for its ok button.
#include "screens.h"
#include "widgets.h"
#include <memory>

Screen_Element* dialogcapturing = nullptr;

void showDialog(std::string text)
{
    if (text.empty())
        return;
    dialogcapturing = nullptr;
    bool ok = false;
    std::unique_ptr<Screen_Element> button(
        new Set_Button(73, 57, 13, 13, bitmaparray[13], "ok button", true, true, &ok));
    // The box eats the ticks that pass, so the game stands still under it.
    screen_loop([&ok] { return !ok; },
                [&button] {
                    poll_pointer();
                    if (escape_pressed())
                        quit = true;
                    dialog_input(button.get());
                    return true;
                },
                [&] {
                    draw_game_screen();
                    drawDialog(text);
                    button->draw();
                },
                true);
    button.reset();
    dialogcapturing = nullptr;
}

// The box's button is kept out of the screen's list and holds the mouse in
// its own capture, so the game screen's capture survives the box.
void dialog_input(Screen_Element* e)
{
    dispatch_mouse(&e, 1, dialogcapturing);
}

void drawDialog(std::string text)
{
    rectfill(buffer, 1, 39, 158, 71, makecol(225, 248, 127));
    draw_text(fontbmp, text.c_str(), 5, 42);
}
