// The date in the corner and the city map: the quarter and wall fading in
// frame by frame, and the fires counted from the unrest and recoloured.
#include "widgets_fixture.h"

#include <cmath>
#include <vector>

namespace {

const int ox = 82, oy = 22;     // where the overlays go, whatever the widget

std::vector<int> rolls;
int fixed_roll()
{
    rolls.push_back(static_cast<int>(rolls.size()) * 3 + 1);
    return rolls.back();
}

class Map : public WidgetTest {
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        morvask = new Morvask;
        for (int i = 0; i < flamecyclelength; i++)
            flamecycle[i] = makecol(200, 10 * i, 0);
        // Fires along one row, each on its own column, in an old colour.
        for (int i = 0; i < 50; i++)
            flame[i] = FlamePixel{5 + 3 * i % 150, 100 + i / 50, old};
        changeflame = false;
        rolls.clear();
        saved = rng;
        rng = fixed_roll;
    }
    void TearDown() override
    {
        rng = saved;
        ghetto = ghetto2 = nullptr;
        WidgetTest::TearDown();
    }
    int fires_shown() const
    {
        int n = 0;
        for (int i = 0; i < 50; i++)
            if (pixel(flame[i].x, flame[i].y) != paper)
                n++;
        return n;
    }
    int draw_fires(float unrest)
    {
        morvask->unrest = unrest;
        clear_to_color(buffer, paper);
        view.draw();
        return fires_shown();
    }

    const int old = makecol(1, 2, 3);
    int (*saved)() = nullptr;
    MapView view{49, 0, 111, 77, "view of morvask"};
};

TEST_F(Map, FireCountFollowsTheUnrest)
{
    EXPECT_EQ(draw_fires(0.0f), 0);
    EXPECT_EQ(draw_fires(-0.3f), 0);
    EXPECT_EQ(draw_fires(0.5f), 25);
    // The float nearest 0.1 lies just above it, so its product with 50
    // passes 5 and lights a sixth fire.
    EXPECT_EQ(draw_fires(0.1f), 6);
    EXPECT_EQ(draw_fires(0.02f), 1);
    EXPECT_EQ(draw_fires(1.0f), 50);
    EXPECT_EQ(draw_fires(7.5f), 50);
    EXPECT_EQ(pixel(flame[49].x, flame[49].y), old);
    EXPECT_EQ(draw_fires(std::nanf("")), 0);
    EXPECT_TRUE(rolls.empty());
}

TEST_F(Map, PendingRecolourTouchesOnlyTheFiresDrawn)
{
    changeflame = true;
    draw_fires(0.1f);
    EXPECT_FALSE(changeflame);
    ASSERT_EQ(rolls.size(), 6u);
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(flame[i].colour, flamecycle[rolls[i] % 5]);
        EXPECT_EQ(pixel(flame[i].x, flame[i].y), flame[i].colour);
    }
    EXPECT_EQ(flame[6].colour, old);

    // Later draws keep the new colours until the flag is raised again.
    draw_fires(1.0f);
    EXPECT_EQ(rolls.size(), 6u);
    EXPECT_EQ(flame[0].colour, flamecycle[rolls[0] % 5]);
    EXPECT_EQ(flame[40].colour, old);
}

TEST_F(Map, NoFiresStillClearsTheRecolourRequest)
{
    changeflame = true;
    draw_fires(0.0f);
    EXPECT_FALSE(changeflame);
    EXPECT_TRUE(rolls.empty());
    for (int i = 0; i < 50; i++)
        ASSERT_EQ(flame[i].colour, old);
}

TEST_F(Map, QuarterAndWallFadeInOverTheirFramesAndStayAcrossGames)
{
    // The fade counters live as long as the program: this is the one test
    // that establishes the quarter.
    const int quarter = makecol(200, 200, 200), wallcolour = makecol(100, 50, 0);
    ghetto2 = picture(17, 18, quarter);
    ghetto = picture(17, 18, wallcolour);
    // A mask pixel shows only when the picture is copied opaquely.
    putpixel(ghetto2, 5, 5, pink);
    putpixel(ghetto, 6, 6, pink);
    auto frame = [&] {
        clear_to_color(buffer, paper);
        view.draw();
    };

    morvask->wall = true;
    frame();
    EXPECT_EQ(pixel(ox, oy), paper);

    morvask->jewishquarter = true;
    int frames = 0, firstvisible = 0, firstopaque = 0;
    while (firstopaque == 0 && frames < 2000) {
        frame();
        frames++;
        if (!firstvisible && pixel(ox, oy) != paper)
            firstvisible = frames;
        if (pixel(ox + 5, oy + 5) == pink)
            firstopaque = frames;
        ASSERT_NE(pixel(ox + 1, oy + 1), wallcolour) << frames;
    }
    EXPECT_EQ(firstvisible, 4);
    EXPECT_EQ(firstopaque, 1021);
    EXPECT_EQ(pixel(ox + 16, oy + 17), quarter);
    EXPECT_EQ(pixel(ox + 17, oy + 18), paper);

    // The wall waited for the quarter; the frame that first copied the
    // quarter opaquely was also the wall's first fade frame.
    frames = 1;
    firstvisible = firstopaque = 0;
    while (firstopaque == 0 && frames < 2000) {
        frame();
        frames++;
        ASSERT_NE(pixel(ox + 6, oy + 6), paper) << frames;
        if (!firstvisible && pixel(ox, oy) != quarter)
            firstvisible = frames;
        if (pixel(ox + 6, oy + 6) == pink)
            firstopaque = frames;
    }
    EXPECT_EQ(firstvisible, 4);
    EXPECT_EQ(firstopaque, 1021);
    EXPECT_EQ(pixel(ox, oy), wallcolour);

    // A later game shows both at once.
    delete morvask;
    morvask = new Morvask;
    morvask->jewishquarter = true;
    frame();
    EXPECT_EQ(pixel(ox + 5, oy + 5), pink);
    morvask->wall = true;
    frame();
    EXPECT_EQ(pixel(ox + 6, oy + 6), pink);
    EXPECT_EQ(pixel(ox + 5, oy + 5), wallcolour);
}

TEST_F(Map, DateShowsTheModelsMonthAndYear)
{
    Date_Display date(17, 2, 25, 7, "date");
    date.draw();
    const int expect[][2] = {{18, 'o'}, {22, 'c'}, {26, 't'}, {34, '3'}, {38, '9'}};
    for (const auto& e : expect) {
        EXPECT_EQ(pixel(e[0], 3), glyphcolour(chartonum(static_cast<char>(e[1])))) << e[0];
        EXPECT_EQ(pixel(e[0] + 2, 7), glyphcolour(chartonum(static_cast<char>(e[1])))) << e[0];
    }
    for (int x : {21, 25, 29, 30, 31, 32, 33, 37, 41})
        EXPECT_EQ(pixel(x, 3), paper) << x;
    EXPECT_EQ(pixel(18, 2), paper);
    EXPECT_EQ(pixel(17, 3), paper);

    morvask->month = 1;
    morvask->year = 5;
    clear_to_color(buffer, paper);
    date.draw();
    EXPECT_EQ(pixel(18, 3), glyphcolour(chartonum('f')));
    EXPECT_EQ(pixel(38, 3), glyphcolour(chartonum('4')));
}

}  // namespace
