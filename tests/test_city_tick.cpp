// The city's own step: the step function, a new model, worked ticks, the road
// to bankruptcy and the strict limits that end a game.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "morvask.h"

static auto fields(const Morvask& m)
{
    return std::make_tuple(m.abolisheducation, m.jewishquarter, m.wall, m.jewishbadge,
                           m.polishbadge, m.trains, m.taxrate, m.propaganda, m.military,
                           m.immigration, m.totalpopulation, m.poles[0], m.poles[1], m.jews[0],
                           m.jews[1], m.germans, m.treasury, m.month, m.year, m.ticks,
                           m.jewishunrest, m.polishunrest, m.unrest);
}

static bool same_model(const Morvask& a, const Morvask& b)
{
    return fields(a) == fields(b);
}

TEST(Scale, PositiveRateClosesTheGapOtherRatesShrink)
{
    float x = 0.2f;
    scale(x, 0.5f, 1.0f);
    EXPECT_EQ(x, 0.6f);
    x = 0.2f;
    scale(x, 0.5f, 0.5f);
    EXPECT_EQ(x, 0.35f);
    x = 0.2f;
    scale(x, -0.5f, 0.5f);
    EXPECT_EQ(x, 0.1f);
    x = 0.2f;
    scale(x, 0.0f, 1.0f);
    EXPECT_EQ(x, 0.2f);
}

TEST(Scale, NothingIsClampedAndNaNSpreads)
{
    float x = 0.2f;
    scale(x, 2.0f, 1.0f);
    EXPECT_EQ(x, 1.8f);
    x = 0.2f;
    scale(x, -2.0f, 1.0f);
    EXPECT_EQ(x, -0.2f);
    x = 0.2f;
    scale(x, std::numeric_limits<float>::quiet_NaN(), 1.0f);
    EXPECT_TRUE(std::isnan(x));
}

TEST(Scale, IsEvaluatedInDoubleAndRoundedOnce)
{
    // In single precision these steps give 0.789999962 and 0.120000005.
    float x = 0.7f;
    scale(x, 0.3f, 1.0f);
    EXPECT_EQ(x, 0.79f);
    x = 0.3f;
    scale(x, -0.6f, 1.0f);
    EXPECT_EQ(x, 0.12f);
}

TEST(NewModel, StartsInOctober39WithItsInitialCity)
{
    Morvask m;
    EXPECT_EQ(m.totalpopulation, 0.616666675f);
    EXPECT_EQ(m.month, 9);
    EXPECT_EQ(m.year, 0);
    EXPECT_EQ(m.ticks, 0);
    EXPECT_FALSE(m.jewishquarter || m.wall || m.trains || m.abolisheducation || m.jewishbadge
                 || m.polishbadge);
    EXPECT_EQ(m.treasury, 0.8f);
    EXPECT_EQ(m.germans, 0.05f);
}

// The worked ticks are pinned to the last bit: every step is exact in the
// precision it is written in, so a sum taken in the wrong one shows.
TEST(Tick, FirstTickOfANewModel)
{
    Morvask m;
    ASSERT_EQ(m.tick(), 0);
    EXPECT_EQ(m.jewishunrest, 0.700659573f);
    EXPECT_EQ(m.polishunrest, 0.296410799f);
    EXPECT_EQ(m.unrest, 0.46944499f);
    EXPECT_EQ(m.germans, 0.0500189997f);
    EXPECT_EQ(m.totalpopulation, 0.616685688f);
    EXPECT_EQ(m.treasury, 0.793360054f);
    EXPECT_EQ(m.jews[0], 0.0f);
    EXPECT_EQ(m.jews[1], 0.5f);
    EXPECT_EQ(m.poles[0], 0.0f);
    EXPECT_EQ(m.poles[1], 0.4f);
    EXPECT_EQ(m.ticks, 1);

    // Without secondary education both peoples calm: X = -0.0004, Y = -0.026.
    Morvask abolished;
    abolished.abolisheducation = true;
    ASSERT_EQ(abolished.tick(), 0);
    EXPECT_EQ(abolished.jewishunrest, 0.699440062f);
    EXPECT_EQ(abolished.polishunrest, 0.284602791f);
    EXPECT_EQ(abolished.unrest, 0.466739982f);
}

TEST(Tick, GhettoTrainsAndJewishBadgeTogether)
{
    Morvask m;
    m.jewishquarter = m.trains = m.jewishbadge = true;
    m.jews[0] = 0.02f;
    m.jews[1] = 0.005f;
    m.poles[0] = 0.3f;
    m.poles[1] = 0.5f;
    m.jewishunrest = 0.3f;
    m.polishunrest = 0.6f;
    m.treasury = 0.5f;
    ASSERT_EQ(m.tick(), 0);
    EXPECT_EQ(m.jewishunrest, 0.358741134f);
    EXPECT_EQ(m.polishunrest, 0.619750023f);
    EXPECT_EQ(m.unrest, 0.496984273f);
    EXPECT_EQ(m.jews[0], 0.0199599992f);
    EXPECT_EQ(m.jews[1], 0.00498999981f);
    EXPECT_EQ(m.poles[0], 0.299700022f);
    EXPECT_EQ(m.poles[1], 0.499500006f);
    EXPECT_EQ(m.germans, 0.0500189997f);
    EXPECT_EQ(m.totalpopulation, 0.85753572f);
    EXPECT_EQ(m.treasury, 0.507833183f);
}

TEST(Tick, AnUntendedCityGoesBankruptOnThe528thCall)
{
    Morvask m;
    for (int n = 1; n <= 527; n++)
        ASSERT_EQ(m.tick(), 0) << "call " << n;
    EXPECT_EQ(m.month, 2);
    EXPECT_EQ(m.year, 1);
    const Morvask before = m;
    EXPECT_EQ(m.tick(), 1);
    EXPECT_TRUE(same_model(before, m));
    EXPECT_EQ(m.tick(), 1);
}

TEST(Tick, LimitsLieInDoubleSoTheSingleNeighbourOfOneHundredthIsBelow)
{
    const float hundredth = 0.01f;
    const float above = std::nextafter(hundredth, 1.0f);

    Morvask bankrupt;
    bankrupt.treasury = hundredth;
    bankrupt.germans = hundredth;
    const Morvask before = bankrupt;
    EXPECT_EQ(bankrupt.tick(), 1);
    EXPECT_TRUE(same_model(before, bankrupt));

    Morvask overthrown;
    overthrown.treasury = above;
    overthrown.germans = hundredth;
    EXPECT_EQ(overthrown.tick(), 2);

    Morvask solvent;
    solvent.treasury = above;
    solvent.germans = above;
    EXPECT_EQ(solvent.tick(), 0);
}

TEST(Tick, NaNTreasuryOrGermansNeverEndTheGame)
{
    Morvask m;
    m.treasury = std::numeric_limits<float>::quiet_NaN();
    m.germans = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(m.tick(), 0);
    EXPECT_EQ(m.tick(), 0);
}

// With the initial settings the jewish rate is 0.0012 and the polish one
// 0.004 for P0 0.1, P1 0.4 and no wall.
static Morvask one_badge(float jewishunrest, float polishunrest)
{
    Morvask m;
    m.jewishbadge = true;
    m.poles[0] = 0.1f;
    m.jewishunrest = jewishunrest;
    m.polishunrest = polishunrest;
    return m;
}

static double closer(double x, double rate, int times)
{
    while (times-- > 0)
        x += (1 - x) * rate;
    return x;
}

TEST(Tick, BadgeFrictionWithEqualUnrestFallsOnTheJews)
{
    Morvask m = one_badge(0.5f, 0.5f);
    m.tick();
    EXPECT_NEAR(m.jewishunrest, closer(0.5 + 0.1 * 0.2, 0.0012, 2), 1e-6);
    EXPECT_NEAR(m.polishunrest, closer(0.5, 0.004, 2), 1e-6);
}

TEST(Tick, BadgeFrictionWithRestlessJewsRaisesThePolishRate)
{
    Morvask m = one_badge(0.6f, 0.5f);
    m.tick();
    EXPECT_NEAR(m.jewishunrest, closer(0.6, 0.0012, 2), 1e-6);
    EXPECT_NEAR(m.polishunrest, closer(0.5, 0.004 + 0.5 * 0.2, 2), 1e-6);
}

TEST(Tick, BothBadgesCauseNoFriction)
{
    Morvask m = one_badge(0.5f, 0.5f);
    m.polishbadge = true;
    m.tick();
    EXPECT_NEAR(m.jewishunrest, closer(0.5, 0.0012, 2), 1e-6);
    EXPECT_NEAR(m.polishunrest, closer(0.5, 0.0041, 2), 1e-6);
}

TEST(Tick, UnrestOfOneOrMoreCountsAsOne)
{
    Morvask m;
    m.jewishunrest = m.polishunrest = 1.5f;
    m.military = 0.5f;
    m.tick();
    ASSERT_GT(m.unrest, 1.0f);
    const double T = 0.2 * 0.0001 - (0.1 - 0.05) * 0.25;
    EXPECT_NEAR(m.germans, 0.05 * (1 + T), 1e-7);
}

TEST(Tick, EnoughMilitarySuppressesAllUnrestAndTheGermansGrow)
{
    Morvask m;
    m.jewishunrest = m.polishunrest = 1.5f;
    m.military = 1.0f;
    m.tick();
    EXPECT_NEAR(m.germans, 0.05 + 0.95 * 0.00002, 1e-8);
    EXPECT_GT(m.germans, 0.05f);
}

TEST(Tick, GhettoTakesInTheJewsBeforeThePoles)
{
    Morvask m;
    m.jewishquarter = true;
    m.tick();
    EXPECT_NEAR(m.jews[0], 0.5 * 0.002, 1e-8);
    EXPECT_NEAR(m.jews[1], 0.5 * 0.998, 1e-7);
    EXPECT_EQ(m.poles[0], 0.0f);
    EXPECT_EQ(m.poles[1], 0.4f);

    Morvask nearlygone;
    nearlygone.jewishquarter = true;
    nearlygone.jews[0] = 0.01f;
    nearlygone.jews[1] = 0.01f;
    nearlygone.tick();
    EXPECT_NEAR(nearlygone.poles[0], 0.001, 1e-8);
    EXPECT_NEAR(nearlygone.poles[1], 0.4 * 0.999, 1e-7);
}

TEST(Tick, TrainsShrinkTheGhettoEvenWhileItFills)
{
    Morvask m;
    m.jewishquarter = m.trains = true;
    m.jews[0] = 0.3f;
    m.jews[1] = 0.2f;
    m.tick();
    EXPECT_NEAR(m.jews[0], 0.3 * 0.998, 1e-7);
    EXPECT_NEAR(m.jews[1], 0.2 * 0.998, 1e-7);
    EXPECT_EQ(m.totalpopulation, 0.61635232f);
}

TEST(Tick, OvercrowdedCityShrinksEveryGroupAndShowsExactlyOne)
{
    Morvask m;
    m.poles[1] = 0.9f;
    m.tick();
    EXPECT_EQ(m.totalpopulation, 1.0f);
    EXPECT_NEAR(m.germans, (0.05 + 0.95 * 0.00002) * 0.99, 1e-8);
    EXPECT_NEAR(m.poles[1], 0.9 * 0.995, 1e-7);
    EXPECT_NEAR(m.jews[1], 0.5 * 0.995, 1e-7);
}

TEST(Tick, GroupsBeyondTheWholeAreCutBackInsideTheGhetto)
{
    Morvask m;
    m.poles[0] = 0.7f;
    m.poles[1] = 0.5f;
    m.jews[0] = 0.8f;
    m.jews[1] = 0.6f;
    m.tick();
    // The cut leaves each pair summing to 1, then overcrowding takes 0.5 %.
    EXPECT_NEAR(m.poles[0], 0.5 * 0.995, 1e-7);
    EXPECT_NEAR(m.jews[0], 0.4 * 0.995, 1e-7);
    EXPECT_EQ(m.totalpopulation, 1.0f);
}
