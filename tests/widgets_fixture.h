// Headless pictures for the widget tests: a cleared buffer, two fonts whose
// glyphs tell which glyph was drawn, and a clean dispatch between tests.
#ifndef WIDGETS_FIXTURE_H
#define WIDGETS_FIXTURE_H

#include <gtest/gtest.h>
#include <vector>

#include "morvask.h"
#include "widgets.h"

// Each glyph is filled with its own colour except a mask-coloured centre.
int glyphcolour(int glyph);
int redglyphcolour(int glyph);
const int glyphholex = 1, glyphholey = 2;

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A picture filled with one colour, released after the test.
    BITMAP* picture(int w, int h, int colour);
    int pixel(int x, int y) const { return getpixel(buffer, x, y); }
    // Points the pointer at a logical position, as the library reports it.
    void point_at(int x, int y, bool down);

    int paper = 0;      // what the buffer holds before a widget draws
    int black = 0, yellow = 0, red = 0, pink = 0;

private:
    std::vector<BITMAP*> pictures;
};

#endif
