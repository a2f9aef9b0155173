// The one-shot and the on/off button: their four state pictures, how they are
// drawn, and how presses and releases move them between states.
#include "widgets.h"
#include "morvask.h"

enum { UP, HELD, ON, DISABLED };

// The strip holds the four frames one below the other: up, held, on,
// disabled. Each button keeps its own copies and releases them when it goes.
template <class B> static void cut_frames(B* b, BITMAP* strip)
{
    for (int i = 0; i < 4; i++) {
        b->frames[i] = create_bitmap(b->w, b->h);
        if (b->frames[i])
            blit(strip, b->frames[i], 0, i * b->h, 0, 0, b->w, b->h);
    }
    b->state = b->enabled ? UP : DISABLED;
}

template <class B> static void release_frames(B* b)
{
    for (BITMAP* frame : b->frames)
        if (frame)
            destroy_bitmap(frame);
}

template <class B> static void wake(B* b)
{
    if (!b->enabled) {
        b->enabled = true;
        b->state = UP;
    }
}

// A bevelled button leaves its outer ring to the background until it is
// pressed or on, so an idle button sits flat in the picture.
template <class B> static void draw_button(const B* b)
{
    BITMAP* frame = b->frames[b->state];
    if (!frame)
        return;
    if (!b->bevel || b->captured || b->state == ON)
        blit(frame, buffer, 0, 0, b->x, b->y, b->w, b->h);
    else
        blit(frame, buffer, 1, 1, b->x + 1, b->y + 1, b->w - 2, b->h - 2);
}

// The held button is let go: a release over it flips it.
template <class B> static void release(B* b, int px, int py)
{
    if (b->isat(px, py))
        b->on = !b->on;
    b->state = b->on ? ON : UP;
}

Set_Button::Set_Button(int x, int y, int w, int h, BITMAP* strip, const char* label,
                       bool enabled, bool bevel, bool* target)
    : Screen_Element(x, y, w, h, label, enabled), on(false), bevel(bevel), target(target)
{
    cut_frames(this, strip);
}

Set_Button::~Set_Button()
{
    release_frames(this);
}

void Set_Button::enable()
{
    wake(this);
}

void Set_Button::draw()
{
    draw_button(this);
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
        release(this, px, py);
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
    cut_frames(this, strip);
}

Toggle_Button::~Toggle_Button()
{
    release_frames(this);
}

void Toggle_Button::enable()
{
    wake(this);
}

void Toggle_Button::draw()
{
    draw_button(this);
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
        release(this, px, py);
        *target = on;
        return false;
    default:
        state = on ? ON : UP;
        return false;
    }
}
