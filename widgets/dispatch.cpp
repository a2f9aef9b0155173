// The widget base classes, the current screen's widget list with its mouse
// capture, the per-tick mouse dispatch and the pointer.
#include "widgets.h"

#include <atomic>

std::vector<Screen_Element*> elementarray;
Screen_Element* capturing = nullptr;
BITMAP* cursorbmp = nullptr;

// Left presses counted on the library's input thread since the dispatch last
// looked; a click shorter than a tick leaves no other trace.
static std::atomic<int> latchedpresses(0);

Screen_Element::Screen_Element(int x, int y, int w, int h, const char* label, bool enabled)
    : x(x), y(y), w(w), h(h), label(label), captured(false), enabled(enabled)
{
}

void Screen_Element::enable()
{
    enabled = true;
}

bool Screen_Element::mouseinput(int, int, bool)
{
    return false;
}

Screen_Element::~Screen_Element()
{
}

bool Screen_Element::isat(int px, int py)
{
    return px >= x && px < x + w && py >= y && py < y + h;
}

Graphic_Element::Graphic_Element(int x, int y, int w, int h, int labelwidth, BITMAP* image,
                                 const char* label, bool enabled)
    : Screen_Element(x, y, w, h, label, enabled), image(image), labelwidth(labelwidth)
{
}

static void count_press(int flags)
{
    if (flags & MOUSE_FLAG_LEFT_DOWN)
        latchedpresses++;
}

void latch_mouse_presses()
{
    mouse_callback = count_press;
}

bool left_button_down()
{
    bool latched = latchedpresses.exchange(0) > 0;
    return (mouse_b & 1) || latched;
}

void dispatch_mouse(Screen_Element* const* list, std::size_t count, Screen_Element*& holder)
{
    int mx = mouse_x / 4;
    int my = mouse_y / 4;
    bool down = left_button_down();

    if (holder) {
        if (!holder->mouseinput(mx, my, down)) {
            holder = nullptr;
            statustext = nulltext;
        }
        return;
    }

    statustext = nulltext;
    for (std::size_t i = 0; i < count; i++) {
        Screen_Element* e = list[i];
        if (e->isat(mx, my) && e->enabled) {
            statustext = e->label;
            if (e->mouseinput(mx, my, down)) {
                holder = e;
                e->captured = true;
                return;
            }
        } else {
            e->captured = false;
        }
    }
}

void mouse_input()
{
    dispatch_mouse(elementarray.data(), elementarray.size(), capturing);
}

void drawGUI()
{
    for (Screen_Element* e : elementarray)
        e->draw();
}

void drawCursor()
{
    masked_blit(cursorbmp, buffer, 0, 0, mouse_x / 4, mouse_y / 4, 5, 7);
}

void enable_buttons()
{
    for (Screen_Element* e : elementarray)
        e->enable();
}

void destroy_widgets()
{
    for (Screen_Element* e : elementarray)
        delete e;
    elementarray.clear();
    capturing = nullptr;
}
