// The fourteen events every game is armed with: what fires them, the boxes
// they show and what their actions do to the city.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "morvask.h"
#include "rules.h"

static std::vector<std::string> shown;

static void record(std::string message)
{
    shown.push_back(message);
}

class Table : public ::testing::Test {
protected:
    void SetUp() override
    {
        morvask = &m;
        shown.clear();
        showmessage = record;
    }
    void TearDown() override
    {
        showmessage = nullptr;
        morvask = nullptr;
    }

    // Runs the opening tick, so that only the events under test are left to fire.
    void open_game()
    {
        ASSERT_EQ(do_logic(), 0);
        shown.clear();
    }

    Morvask m;
};

typedef std::vector<std::string> Boxes;

TEST_F(Table, EveryGameOpensWithOneBoxAndNothingElse)
{
    ASSERT_EQ(events.size(), 14u);
    const Morvask before = m;
    Morvask stepped = before;
    ASSERT_EQ(do_logic(), 0);
    stepped.tick();
    EXPECT_EQ(shown, Boxes{"general government is established"});
    EXPECT_EQ(events.size(), 13u);
    EXPECT_TRUE(actions.empty());
    EXPECT_EQ(m.treasury, stepped.treasury);
    EXPECT_EQ(m.jewishunrest, stepped.jewishunrest);
    EXPECT_EQ(m.polishunrest, stepped.polishunrest);
}

TEST_F(Table, AbolishingEducationStirsBothPeoplesForTwentyTicks)
{
    open_game();
    m.abolisheducation = true;
    check_events();
    EXPECT_EQ(shown, (Boxes{"the students are rioting", ""}));
    ASSERT_EQ(actions.size(), 2u);
    const Action first = actions.front(), second = actions.back();
    EXPECT_EQ(first.target, &m.jewishunrest);
    EXPECT_EQ(second.target, &m.polishunrest);
    EXPECT_EQ(first.rate, 0.03f);
    EXPECT_EQ(first.time, 20.0f);
    EXPECT_EQ(second.time, 20.0f);

    const float jewish = m.jewishunrest;
    process_actions();
    EXPECT_NEAR(m.jewishunrest, jewish + (1 - jewish) * 0.03, 1e-7);

    // Twenty applications in all; the tick after them drops both actions.
    int ticks = 1;
    for (; !actions.empty() && ticks < 30; ticks++) {
        m.tick();
        process_actions();
    }
    EXPECT_EQ(ticks, 21);
}

TEST_F(Table, BadgesStirTheirPeopleSilentlyAndOnlyOnce)
{
    open_game();
    m.jewishbadge = true;
    do_logic();
    EXPECT_EQ(shown, Boxes{""});
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions.front().target, &m.jewishunrest);
    EXPECT_EQ(actions.front().time, 9.0f);

    m.jewishbadge = false;
    do_logic();
    m.jewishbadge = true;
    m.polishbadge = true;
    shown.clear();
    do_logic();
    EXPECT_EQ(shown, Boxes{""});
    EXPECT_EQ(actions.back().target, &m.polishunrest);
    EXPECT_EQ(actions.back().rate, 0.03f);
    EXPECT_EQ(actions.back().time, 9.0f);
    EXPECT_EQ(actions.size(), 2u);
}

TEST_F(Table, WallCostsTwoPercentOfTheTreasuryOnThreeTicks)
{
    open_game();
    Morvask expected = m;
    m.wall = expected.wall = true;
    for (int n = 0; n < 4; n++) {
        ASSERT_EQ(do_logic(), 0);
        if (n < 3)
            scale(expected.treasury, -0.02f, 1.0f);
        expected.tick();
        EXPECT_EQ(m.treasury, expected.treasury) << "tick " << n;
    }
    EXPECT_EQ(shown, Boxes{"construction of the wall begun"});
}

TEST_F(Table, TrainsOnlyReportDeportation)
{
    open_game();
    Morvask expected = m;
    m.trains = expected.trains = true;
    do_logic();
    expected.tick();
    EXPECT_EQ(shown, Boxes{"deportation has begun"});
    EXPECT_EQ(m.treasury, expected.treasury);
    EXPECT_EQ(m.jewishunrest, expected.jewishunrest);
}

TEST_F(Table, ThresholdsAtTheirHeldValuesDoNotFire)
{
    open_game();
    m.treasury = 0.1f;
    m.germans = 0.015f;
    m.jews[1] = 0.02f;
    m.jews[0] = 0.5f;
    check_events();
    m.jews[0] = 0.0f;
    check_events();
    EXPECT_TRUE(shown.empty());

    m.treasury = std::nextafter(0.1f, 0.0f);
    m.germans = std::nextafter(0.015f, 0.0f);
    m.jews[1] = std::nextafter(0.02f, 0.0f);
    check_events();
    EXPECT_EQ(shown, (Boxes{"the jews have been eradicated", "we are running low on funds",
                            "we are being overthrown"}));
}

TEST_F(Table, EventsOfOneTickShowInTableOrder)
{
    open_game();
    m.treasury = 0.012f;
    m.poles[1] = 0.01f;
    m.poles[0] = 0.5f;
    m.jews[1] = 0.01f;
    m.jews[0] = 0.3f;
    check_events();
    EXPECT_EQ(shown, (Boxes{"the jews have been successfully moved",
                            "the poles have been successfully moved",
                            "the poles are being relocated", "we are running low on funds",
                            "we have no money left"}));
}

TEST_F(Table, WarningsAreNotRepeatedWhenTheCityRecovers)
{
    open_game();
    m.treasury = 0.05f;
    check_events();
    m.treasury = 0.5f;
    check_events();
    m.treasury = 0.05f;
    check_events();
    EXPECT_EQ(shown, Boxes{"we are running low on funds"});
}

TEST_F(Table, ANewGameIsArmedAfresh)
{
    m.wall = m.trains = true;
    do_logic();
    ASSERT_EQ(shown.size(), 3u);
    Morvask next;
    morvask = &next;
    shown.clear();
    next.wall = next.trains = true;
    do_logic();
    EXPECT_EQ(shown, (Boxes{"general government is established", "deportation has begun",
                            "construction of the wall begun"}));
    for (const Action& a : actions)
        EXPECT_EQ(a.target, &next.treasury);
}

TEST_F(Table, MessagesFitTheBoxOnOneLine)
{
    for (const Event& e : events) {
        EXPECT_LE(e.message.size(), 38u);
        for (char c : e.message)
            EXPECT_TRUE((c >= 'a' && c <= 'z') || c == ' ') << e.message;
    }
}
