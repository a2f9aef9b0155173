// The 3x5 font lookup, the one rule every text is drawn by, the status line
// and the blinking emergency queue.
#include "widgets_fixture.h"

namespace {

class Text : public WidgetTest {
protected:
    void TearDown() override
    {
        emergencymessages.clear();
        emergencytimer = 0;
        WidgetTest::TearDown();
    }
    // The glyph drawn with its top-left corner at (x, y), found by its colour,
    // -1 when the paper shows there.
    int glyph_at(int x, int y, int (*colour)(int) = glyphcolour) const
    {
        int c = pixel(x, y);
        for (int g = 0; g < 36; g++)
            if (c == colour(g))
                return g;
        return c == paper ? -1 : -2;
    }
    bool untouched(int x0, int y0, int x1, int y1) const
    {
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++)
                if (pixel(x, y) != paper)
                    return false;
        return true;
    }
};

TEST_F(Text, LettersAndDigitsHaveTheirGlyphsAndAllElseIsA)
{
    EXPECT_EQ(chartonum('a'), 0);
    EXPECT_EQ(chartonum('z'), 25);
    EXPECT_EQ(chartonum('0'), 26);
    EXPECT_EQ(chartonum('9'), 35);
    for (int b = 0; b < 256; b++) {
        char c = static_cast<char>(b);
        int want = b >= 'a' && b <= 'z' ? b - 'a' : b >= '0' && b <= '9' ? b - '0' + 26 : 0;
        ASSERT_EQ(chartonum(c), want) << "byte " << b;
    }
}

TEST_F(Text, CharactersStandFourPixelsApartAndSpacesDrawNothing)
{
    draw_text(fontbmp, "k9 A.", 5, 10);
    EXPECT_EQ(glyph_at(5, 10), chartonum('k'));
    EXPECT_EQ(glyph_at(7, 14), chartonum('k'));
    EXPECT_EQ(glyph_at(9, 10), 35);
    EXPECT_TRUE(untouched(8, 10, 8, 14));
    EXPECT_TRUE(untouched(12, 10, 16, 14));
    EXPECT_EQ(glyph_at(17, 10), 0);
    EXPECT_EQ(glyph_at(21, 10), 0);
    EXPECT_TRUE(untouched(24, 9, 30, 15));
    EXPECT_TRUE(untouched(4, 9, 24, 9));
    EXPECT_TRUE(untouched(4, 15, 24, 15));
    // The glyph's mask-coloured pixel lets the paper through.
    EXPECT_EQ(pixel(5 + glyphholex, 10 + glyphholey), paper);
}

TEST_F(Text, EmptyOrBlankTextDrawsNothing)
{
    draw_text(fontbmp, "", 5, 10);
    draw_text(fontbmp, "     ", 5, 10);
    EXPECT_TRUE(untouched(0, 0, 159, 119));
}

TEST_F(Text, StatusBarShowsTheStatusTextInsideItsWidth)
{
    Status_Bar bar(4, 110, 154, 7, "statusbar");
    statustext = "polish population in and out of ghetto";
    bar.draw();
    EXPECT_EQ(glyph_at(5, 111), chartonum('p'));
    EXPECT_EQ(glyph_at(153, 111), chartonum('o'));
    EXPECT_EQ(glyph_at(155, 115), chartonum('o'));
    EXPECT_TRUE(untouched(156, 110, 159, 119));
    EXPECT_TRUE(untouched(0, 110, 4, 119));
}

TEST_F(Text, StatusBarUnderThePointerShowsItsOwnLabel)
{
    auto* bar = new Status_Bar(4, 110, 154, 7, "statusbar");
    elementarray.push_back(bar);
    point_at(50, 112, false);
    mouse_input();
    drawGUI();
    EXPECT_STREQ(statustext, "statusbar");
    EXPECT_EQ(glyph_at(5, 111), chartonum('s'));
    EXPECT_EQ(glyph_at(37, 111), chartonum('r'));
}

TEST_F(Text, EmergencyBlinksInRedForItsTimeThenLeaves)
{
    Status_Bar bar(4, 110, 154, 7, "statusbar");
    statustext = "calm";
    process_emergencies();
    EXPECT_EQ(emergencytimer, 0);

    emergencymessages.push_back("riot");
    emergencymessages.push_back("fire");
    process_emergencies();
    EXPECT_EQ(emergencytimer, 150);

    // 150 ticks: red, then dark every other 30 ticks.
    for (int tick = 0; tick < 150; tick++) {
        clear_to_color(buffer, paper);
        bar.draw();
        int t = emergencytimer;
        if ((t / 30) % 2 == 1)
            ASSERT_TRUE(untouched(0, 100, 159, 119)) << t;
        else
            ASSERT_EQ(glyph_at(5, 111, redglyphcolour), chartonum('r')) << t;
        process_emergencies();
    }
    EXPECT_EQ(emergencytimer, 0);
    ASSERT_EQ(emergencymessages.size(), 1u);
    EXPECT_EQ(emergencymessages.front(), "fire");

    clear_to_color(buffer, paper);
    bar.draw();
    EXPECT_EQ(glyph_at(5, 111), chartonum('c'));
}

TEST_F(Text, EmergencyTimerWithoutAMessageFallsBackToTheStatusText)
{
    Status_Bar bar(4, 110, 154, 7, "statusbar");
    statustext = "calm";
    emergencytimer = 2;
    bar.draw();
    EXPECT_EQ(glyph_at(5, 111), chartonum('c'));
    process_emergencies();
    process_emergencies();
    EXPECT_EQ(emergencytimer, 0);
    EXPECT_TRUE(emergencymessages.empty());
}

}  // namespace
