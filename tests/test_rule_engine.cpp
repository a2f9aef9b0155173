// The rule engine on events of its own: when an event fires, the order of
// boxes and actions, and the life of a queued action.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <boost/assign/list_of.hpp>

#include "morvask.h"
#include "rules.h"

using boost::assign::list_of;

static std::vector<std::string> shown;

// A box records its text and how many actions were queued when it opened.
static void record(std::string message)
{
    shown.push_back(message + "@" + std::to_string(actions.size()));
}

class Engine : public ::testing::Test {
protected:
    void SetUp() override
    {
        morvask = &m;
        events.clear();
        shown.clear();
        showmessage = record;
    }
    void TearDown() override
    {
        showmessage = nullptr;
        morvask = nullptr;
    }

    Morvask m;
    float value = 0.2f;
    bool flag = false;
};

static bool holds(Operand lhs, Operand rhs)
{
    return less_than(Condition(lhs, rhs))();
}

TEST_F(Engine, ConditionsAreStrictAndNaNNeverHolds)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(holds(0.0f, 1.0f));
    EXPECT_FALSE(holds(&value, 0.2f));
    EXPECT_FALSE(holds(0.2f, &value));
    EXPECT_TRUE(holds(&value, 0.3f));
    EXPECT_FALSE(holds(nan, 1.0f));
    EXPECT_FALSE(holds(1.0f, nan));
    value = nan;
    EXPECT_FALSE(holds(&value, 1.0f));
}

TEST_F(Engine, OperandsReadTheModelAtEachTest)
{
    const less_than below(Condition(&value, 0.5f));
    EXPECT_TRUE(below());
    value = 0.7f;
    EXPECT_FALSE(below());

    Operand f(&flag);
    EXPECT_EQ(boost::apply_visitor(extract(), f), 0.0f);
    flag = true;
    EXPECT_EQ(boost::apply_visitor(extract(), f), 1.0f);
}

TEST_F(Engine, TruthConditionHoldsExactlyWhileItsFlagIsSet)
{
    const std::vector<Condition> conditions = list_of<Condition>(TruthCondition(&flag));
    add_event("flag", conditions, do_nothing);
    check_events();
    EXPECT_TRUE(shown.empty());
    ASSERT_EQ(events.size(), 1u);
    flag = true;
    check_events();
    EXPECT_EQ(shown, std::vector<std::string>{"flag@0"});
    EXPECT_TRUE(events.empty());
}

TEST_F(Engine, EventsWithoutConditionsFireAtOnceAndOnlyOnce)
{
    add_event("empty", std::vector<Condition>(), do_nothing);
    add_event("always", list_of(Condition(0.0f, 1.0f)), do_nothing);
    check_events();
    check_events();
    EXPECT_EQ(shown, (std::vector<std::string>{"empty@0", "always@1"}));
    EXPECT_TRUE(events.empty());
}

TEST_F(Engine, EveryConditionMustHoldAndTheRestKeepTheirOrder)
{
    add_event("first", list_of(Condition(&value, 0.5f))(Condition(0.5f, &value)), do_nothing);
    add_event("second", list_of(Condition(&value, 0.5f)), do_nothing);
    add_event("third", list_of(Condition(0.5f, &value)), do_nothing);
    check_events();
    EXPECT_EQ(shown, std::vector<std::string>{"second@0"});
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].message, "first");
    EXPECT_EQ(events[1].message, "third");
}

TEST_F(Engine, BoxesOpenInListOrderEachBeforeItsActionIsQueued)
{
    float a = 0.0f, b = 0.0f;
    add_event("one", std::vector<Condition>(), Action(&a, 0.5f, 1.0f));
    add_event("", std::vector<Condition>(), Action(&b, 0.5f, 1.0f));
    add_event("three", std::vector<Condition>(), do_nothing);
    check_events();
    EXPECT_EQ(shown, (std::vector<std::string>{"one@0", "@1", "three@2"}));
    ASSERT_EQ(actions.size(), 3u);
    EXPECT_EQ(actions.front().target, &a);
    EXPECT_EQ((++actions.begin())->target, &b);
}

TEST_F(Engine, MessageBoxThatChangesTheModelCannotMakeAnEventFireTwice)
{
    static float* watched;
    watched = &value;
    showmessage = [](std::string) { *watched = 1.0f; };
    add_event("below", list_of(Condition(&value, 0.5f)), do_nothing);
    add_event("later", list_of(Condition(&value, 0.5f)), do_nothing);
    check_events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].message, "later");
    EXPECT_EQ(actions.size(), 1u);
}

TEST_F(Engine, SpentAndEmptyActionsAreDroppedUnapplied)
{
    add_action(do_nothing);
    add_action(&value, 0.5f, -1.0f);
    add_action(&value, 0.5f, std::numeric_limits<float>::quiet_NaN());
    process_actions();
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_TRUE(std::isnan(actions.front().time));
    EXPECT_TRUE(nullTime(do_nothing));
    EXPECT_FALSE(nullTime(actions.front()));
}

TEST_F(Engine, ActionsOnOneTargetApplyOldestFirst)
{
    add_action(&value, 0.5f, 1.0f);
    add_action(&value, -0.5f, 1.0f);
    process_actions();
    EXPECT_EQ(value, 0.3f);
}

TEST_F(Engine, ActionRunsBeforeTheCityStepForExactlyItsTicks)
{
    // A positive rate on the treasury does not commute with the tick's
    // income, so the order shows in the result.
    add_event("grant", std::vector<Condition>(), Action(&m.treasury, 0.5f, 3.0f));
    Morvask expected = m;
    for (int n = 0; n < 3; n++) {
        ASSERT_EQ(do_logic(), 0);
        scale(expected.treasury, 0.5f, 1.0f);
        expected.tick();
        EXPECT_EQ(m.treasury, expected.treasury) << "tick " << n;
        EXPECT_EQ(actions.size(), 1u);
    }
    EXPECT_EQ(actions.front().time, 0.0f);
    ASSERT_EQ(do_logic(), 0);
    expected.tick();
    EXPECT_EQ(m.treasury, expected.treasury);
    EXPECT_TRUE(actions.empty());
}

TEST_F(Engine, FractionalTimeAppliesRoundedUp)
{
    add_action(&value, 0.5f, 1.5f);
    process_actions();
    process_actions();
    process_actions();
    EXPECT_EQ(value, 0.8f);
    EXPECT_TRUE(actions.empty());
}

TEST_F(Engine, NewModelDropsThePreviousGamesEventsAndActions)
{
    add_event("pending", list_of(Condition(1.0f, 0.0f)), do_nothing);
    add_action(&value, 0.5f, 10.0f);
    Morvask next;
    EXPECT_TRUE(actions.empty());
    ASSERT_EQ(events.size(), 14u);
    for (const Event& e : events)
        EXPECT_NE(e.message, "pending");
}
