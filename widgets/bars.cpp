// The population and treasury bars and the policy sliders.
#include "widgets.h"

#include <cmath>

// Far past any edge of the buffer: a length beyond it draws the same picture,
// and keeps a wild model value (huge, infinite, NaN) from overflowing an int.
static const int barlimit = 1000;

// round() of value x pixels-per-unit, halves away from zero, as whole pixels.
static int bar_pixels(float value, int perunit)
{
    double n = std::round(static_cast<double>(value) * perunit);
    if (!(n > -barlimit))
        return -barlimit;
    if (n > barlimit)
        return barlimit;
    return static_cast<int>(n);
}

static void draw_label(const Graphic_Element* g)
{
    blit(g->image, buffer, 0, 0, g->x, g->y, g->labelwidth, g->h);
}

static void draw_outline(const Screen_Element* e)
{
    rect(buffer, e->x, e->y, e->x + e->w - 1, e->y + e->h - 1, makecol(0, 0, 0));
}

// n - 1 yellow columns from the bar's start, closed by a black column.
static void draw_fill(const Graphic_Element* g, int n)
{
    if (n <= 0)
        return;
    int left = g->x + g->labelwidth;
    rectfill(buffer, left, g->y + 1, left + n - 1, g->y + g->h - 2, makecol(255, 255, 0));
    vline(buffer, left + n - 1, g->y + 1, g->y + g->h - 2, makecol(0, 0, 0));
}

Singlebar::Singlebar(int x, int y, int w, int h, int labelwidth, BITMAP* image,
                     const char* label, float* value)
    : Graphic_Element(x, y, w, h, labelwidth, image, label, true), value(value)
{
}

void Singlebar::draw()
{
    int n = bar_pixels(*value, 28);
    draw_label(this);
    draw_outline(this);
    draw_fill(this, n);
}

Doublebar::Doublebar(int x, int y, int w, int h, int labelwidth, BITMAP* image,
                     const char* label, float* values)
    : Graphic_Element(x, y, w, h, labelwidth, image, label, true), values(values)
{
}

void Doublebar::draw()
{
    draw_label(this);
    draw_outline(this);
    int left = x + labelwidth;
    int a = bar_pixels(values[0], 27);
    int b = a + bar_pixels(values[1], 26);
    int black = makecol(0, 0, 0);
    if (a > 1) {
        rectfill(buffer, left, y + 1, left + a - 2, y + h - 2, makecol(255, 0, 0));
        vline(buffer, left + a - 1, y + 1, y + h - 2, black);
    }
    if (b > a) {
        rectfill(buffer, left + a - 1, y, left + b, y + h - 1, makecol(255, 255, 0));
        rect(buffer, left + a - 1, y, left + b, y + h - 1, black);
    }
}

Inputbar::Inputbar(int x, int y, int w, int h, int labelwidth, BITMAP* image,
                   const char* label, int fill, float* target)
    : Graphic_Element(x, y, w, h, labelwidth, image, label, true), fill(fill), target(target)
{
}

void Inputbar::draw()
{
    draw_outline(this);
    draw_label(this);
    draw_fill(this, fill);
}

// The slider's end line follows the pointer's column wherever the pointer is,
// and a full travel of 37 pixels stands for a setting of 1.
bool Inputbar::mouseinput(int px, int, bool down)
{
    if (!down)
        return false;
    if (px <= x + labelwidth - 2)
        fill = 0;
    else if (px < x + w - 1)
        fill = px - x - labelwidth + 1;
    else
        fill = w - labelwidth;
    *target = static_cast<float>(fill) / 37;
    return true;
}
