// The calendar that ends the war in November '44 and the map fires it moves
// every ten ticks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <string>

#include "morvask.h"

static std::deque<int> fed;
static int calls;

// Hands out the fed values, then zeros, and counts every draw.
static int fed_rng()
{
    calls++;
    if (fed.empty())
        return 0;
    const int v = fed.front();
    fed.pop_front();
    return v;
}

class Calendar : public ::testing::Test {
protected:
    void SetUp() override
    {
        fed.clear();
        calls = 0;
        rng = fed_rng;
        warover = false;
        changeflame = false;
        for (int i = 0; i < flamecyclelength; i++)
            flamecycle[i] = 100 + i;
    }
    void TearDown() override { rng = std::rand; }

    void advance_to(int tick)
    {
        while (m.ticks < tick)
            m.incrementtime();
    }

    std::string date() const { return std::string(month_text[m.month]) + " " + year_text[m.year]; }

    Morvask m;
};

TEST_F(Calendar, MonthTurnsEveryNinetyTicks)
{
    advance_to(89);
    EXPECT_EQ(date(), "oct 39");
    advance_to(90);
    EXPECT_EQ(date(), "nov 39");
    advance_to(270);
    EXPECT_EQ(m.month, 0);
    EXPECT_EQ(m.year, 1);
    EXPECT_EQ(date(), "jan 40");
}

TEST_F(Calendar, WarEndsOnTick5490InNovember44)
{
    advance_to(5489);
    EXPECT_FALSE(warover);
    EXPECT_EQ(date(), "oct 44");
    advance_to(5490);
    EXPECT_TRUE(warover);
    EXPECT_EQ(m.month, 10);
    EXPECT_EQ(m.year, 5);
}

TEST_F(Calendar, DateStaysAtNovember44WhileTicksGoOn)
{
    advance_to(5490);
    calls = 0;
    advance_to(5490 + 400);
    EXPECT_EQ(date(), "nov 44");
    EXPECT_EQ(m.ticks, 5890);
    EXPECT_EQ(calls, 40 * 5);
}

TEST_F(Calendar, FiresMoveEveryTenthTickWithFiveDraws)
{
    advance_to(9);
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(changeflame);
    advance_to(10);
    EXPECT_EQ(calls, 5);
    EXPECT_TRUE(changeflame);
    changeflame = false;
    advance_to(89);
    EXPECT_EQ(calls, 8 * 5);
    fed = {49, 1, 0, 0, 4};
    advance_to(90);
    EXPECT_EQ(date(), "nov 39");
    EXPECT_EQ(calls, 9 * 5);
    EXPECT_EQ(flame[49].x, 72);
}

TEST_F(Calendar, FedDrawsPlaceOneFireInTheTopBoxCorner)
{
    for (int i = 0; i < 50; i++)
        flame[i] = FlamePixel{1, 2, 3};
    fed = {49, 1, 0, 0, 4};
    advance_to(10);
    EXPECT_EQ(flame[49].x, 72);
    EXPECT_EQ(flame[49].y, 8);
    EXPECT_EQ(flame[49].colour, flamecycle[4]);
    for (int i = 0; i < 49; i++) {
        EXPECT_EQ(flame[i].x, 1);
        EXPECT_EQ(flame[i].y, 2);
        EXPECT_EQ(flame[i].colour, 3);
    }
}

TEST_F(Calendar, LargestDrawsStayInsideEachBox)
{
    for (int b = 0; b < 4; b++) {
        const int w = flameboxes[b][2] - flameboxes[b][0];
        const int h = flameboxes[b][3] - flameboxes[b][1];
        fed = {b, w - 1, h - 1, flamecyclelength - 1};
        place_flame(0);
        EXPECT_EQ(flame[0].x, flameboxes[b][2] - 1);
        EXPECT_EQ(flame[0].y, flameboxes[b][3] - 1);
        fed = {b + 4, w, h, flamecyclelength};
        place_flame(0);
        EXPECT_EQ(flame[0].x, flameboxes[b][0]);
        EXPECT_EQ(flame[0].y, flameboxes[b][1]);
        EXPECT_EQ(flame[0].colour, flamecycle[0]);
    }
}

TEST_F(Calendar, RandomFiresNeverLeaveTheirBoxes)
{
    rng = std::rand;
    std::srand(7);
    for (int n = 0; n < 5000; n++) {
        place_flame(n % 50);
        const FlamePixel& f = flame[n % 50];
        bool inside = false;
        for (int b = 0; b < 4; b++) {
            inside = inside
                     || (f.x >= flameboxes[b][0] && f.x < flameboxes[b][2] && f.y >= flameboxes[b][1]
                         && f.y < flameboxes[b][3]);
        }
        ASSERT_TRUE(inside) << f.x << "," << f.y;
        ASSERT_GE(f.colour, 100);
        ASSERT_LT(f.colour, 105);
    }
}
