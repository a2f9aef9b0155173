// The one-shot and the on/off button: their four state pictures, how they are
// drawn, and how presses and releases move them between states.
#include "widgets.h"
#include "morvask.h"

enum { UP, HELD, ON, DISABLED };

// The strip holds the four frames one below the other: up, held, on, disabled.
static void cut_frames(BITMAP* frames[4], BITMAP* strip, int w, int h)
{
    for (int i = 0; i < 4; i++) {
        frames[i] = create_bitmap(w, h);
        if (frames[i])
            blit(strip, frames[i], 0, i * h, 0, 0, w, h);
    }
}

static void release_frames(BITMAP* frames[4])
{
    for (int i = 0; i < 4; i++)
        if (frames[i])
            destroy_bitmap(frames[i]);
}

// A bevelled button leaves its outer ring to the background until it is
// pressed or on, so an idle button sits flat in the picture.
static void draw_frame(const Screen_Element* b, BITMAP* frame, bool bevel, int state)
{
    if (!frame)
        return;
    if (!bevel || b->captured || state == ON)
        blit(frame, buffer, 0, 0, b->x, b->y, b->w, b->h);
    else
        blit(frame, buffer, 1, 1, b->x + 1, b->y + 1, b->w - 2, b->h - 2);
}

Set_Button::Set_Button(int x, int y, int w, int h, BITMAP* strip, const char* label,
                       bool enabled, bool bevel, bool* target)
    : Screen_Element(x, y, w, h, label, enabled), on(false), bevel(bevel), target(target)
{
    cut_frames(frames, strip, w, h);
    state = enabled ? UP : DISABLED;
}

Set_Button::~Set_Button()
{
    release_frames(frames);
}

void Set_Button::enable()
{
    if (!enabled) {
        enabled = true;
        state = UP;
    }
}

void Set_Button::draw()
{
    draw_frame(this, frames[state], bevel, state);
}

bool Set_Button::mouseinput(int px, int py, bool down)
{
    switch (state) {
    case UP:
        if (down)
            state = HELD;
        return down;
    case HELD:
        if (down)
            return true;
        if (isat(px, py))
            on = !on;
        state = on ? ON : UP;
        if (state == ON) {
            *target = true;
            // The quarter unlocks the policies that need it.
            if (morvask && target == &morvask->jewishquarter)
                enable_buttons();
        }
        return false;
    case DISABLED:
        state = on ? ON : UP;
        return false;
    default:
        return false;
    }
}

Toggle_Button::Toggle_Button(int x, int y, int w, int h, BITMAP* strip, const char* label,
                             bool enabled, bool bevel, bool* target)
    : Screen_Element(x, y, w, h, label, enabled), on(false), bevel(bevel), target(target)
{
    cut_frames(frames, strip, w, h);
    state = enabled ? UP : DISABLED;
}

Toggle_Button::~Toggle_Button()
{
    release_frames(frames);
}

void Toggle_Button::enable()
{
    if (!enabled) {
        enabled = true;
        state = UP;
    }
}

void Toggle_Button::draw()
{
    draw_frame(this, frames[state], bevel, state);
}

bool Toggle_Button::mouseinput(int px, int py, bool down)
{
    switch (state) {
    case UP:
    case ON:
        if (down)
            state = HELD;
        return down;
    case HELD:
        if (down)
            return true;
        if (isat(px, py))
            on = !on;
        state = on ? ON : UP;
        *target = on;
        return false;
    default:
        state = on ? ON : UP;
        return false;
    }
}
