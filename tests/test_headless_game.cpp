// Whole games without a display: a scripted player moves the buttons and
// sliders at fixed ticks, and the game runs to its ending.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "morvask.h"
#include "rules.h"

struct Move {
    int tick;
    void (*apply)(Morvask&);
};

struct Box {
    int tick;
    std::string message;
    bool operator==(const Box& o) const { return tick == o.tick && message == o.message; }
};

static std::ostream& operator<<(std::ostream& os, const Box& b)
{
    return os << b.tick << ": \"" << b.message << "\"";
}

static int now;
static std::vector<Box> boxes;
static int silent;

// Warnings must be true of the city at the moment their box opens.
static void record(std::string message)
{
    if (message.empty()) {
        silent++;
        return;
    }
    if (message == "we are running low on funds") {
        EXPECT_LT(morvask->treasury, 0.1f) << now;
    } else if (message == "we have no money left") {
        EXPECT_LT(morvask->treasury, 0.015f) << now;
    } else if (message == "we are being overthrown") {
        EXPECT_LT(morvask->germans, 0.015f) << now;
    }
    boxes.push_back(Box{now, message});
}

struct Ending {
    int tick;
    int result;
};

static Ending play(const std::vector<Move>& script)
{
    delete morvask;
    morvask = new Morvask;
    warover = false;
    boxes.clear();
    silent = 0;
    showmessage = record;
    int result = 0;
    for (now = 1; now <= 10000; now++) {
        for (const Move& move : script) {
            if (move.tick == now)
                move.apply(*morvask);
        }
        result = do_logic();
        if (result != 0 || warover)
            break;
    }
    showmessage = nullptr;
    return Ending{now, result};
}

class HeadlessGame : public ::testing::Test {
protected:
    void TearDown() override
    {
        delete morvask;
        morvask = nullptr;
        warover = false;
    }
};

// A careful regime with light taxes: the jews are moved in the first month,
// the trains start in the fourth, the rest follows once the money allows.
static const std::vector<Move> careful = {
    {30, [](Morvask& m) { m.jewishquarter = true; }},
    {60, [](Morvask& m) { m.taxrate = 0.6f; m.military = 0.5f; m.propaganda = 0.3f; }},
    {300, [](Morvask& m) { m.trains = true; }},
    {2000, [](Morvask& m) { m.wall = true; }},
    {2500, [](Morvask& m) { m.jewishbadge = true; }},
    {2600, [](Morvask& m) { m.jewishbadge = false; }},
    {2700, [](Morvask& m) { m.jewishbadge = true; }},
    {3000, [](Morvask& m) { m.polishbadge = true; }},
    {3500, [](Morvask& m) { m.abolisheducation = true; }},
};

TEST_F(HeadlessGame, CarefulRegimeLastsUntilTheRussiansArrive)
{
    const Ending end = play(careful);
    EXPECT_EQ(end.result, 0);
    EXPECT_EQ(end.tick, 5490);
    EXPECT_TRUE(warover);
    EXPECT_EQ(std::string(month_text[morvask->month]) + year_text[morvask->year], "nov44");

    const std::vector<std::string> expected = {
        "general government is established",
        "deportation has begun",
        "we are running low on funds",
        "the jews have been eradicated",
        "the poles are being relocated",
        "construction of the wall begun",
        "the students are rioting",
        "the poles have been successfully moved",
        "we have no money left",
    };
    ASSERT_EQ(boxes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); i++)
        EXPECT_EQ(boxes[i].message, expected[i]) << i;
    // The player's own moves are answered in the very tick they are made.
    EXPECT_EQ(boxes[0], (Box{1, "general government is established"}));
    EXPECT_EQ(boxes[1], (Box{300, "deportation has begun"}));
    EXPECT_EQ(boxes[5], (Box{2000, "construction of the wall begun"}));
    EXPECT_EQ(boxes[6], (Box{3500, "the students are rioting"}));
    // The jewish badge, the polish badge and the second half of the riot.
    EXPECT_EQ(silent, 3);
    EXPECT_EQ(events.size(), 14u - 9u - 3u);
}

// A spendthrift regime: full military, light taxes, every policy at once.
static const std::vector<Move> spendthrift = {
    {30, [](Morvask& m) { m.jewishquarter = true; }},
    {200, [](Morvask& m) { m.wall = true; }},
    {300, [](Morvask& m) { m.taxrate = 0.3f; m.military = 1.0f; }},
    {400, [](Morvask& m) { m.jewishbadge = true; }},
    {600, [](Morvask& m) { m.trains = true; }},
    {900, [](Morvask& m) { m.abolisheducation = true; }},
    {1000, [](Morvask& m) { m.polishbadge = true; }},
};

TEST_F(HeadlessGame, SpendthriftRegimeGoesBankrupt)
{
    const Ending end = play(spendthrift);
    EXPECT_EQ(end.result, 1);
    EXPECT_FALSE(warover);
    EXPECT_LT(morvask->treasury, 0.01);
    EXPECT_GE(morvask->germans, 0.01);

    const std::vector<Box> expected = {
        {1, "general government is established"},
        {200, "construction of the wall begun"},
        {600, "deportation has begun"},
        {792, "we are running low on funds"},
        {900, "the students are rioting"},
        {1060, "we have no money left"},
    };
    EXPECT_EQ(boxes, expected);
    EXPECT_GT(end.tick, boxes.back().tick);
}

// Half the army and the jewish badge: the germans do not survive the unrest.
static const std::vector<Move> harsh = {
    {30, [](Morvask& m) { m.jewishquarter = true; }},
    {200, [](Morvask& m) { m.wall = true; }},
    {300, [](Morvask& m) { m.taxrate = 0.5f; m.military = 0.5f; }},
    {400, [](Morvask& m) { m.jewishbadge = true; }},
};

TEST_F(HeadlessGame, HarshRegimeIsOverthrown)
{
    const Ending end = play(harsh);
    EXPECT_EQ(end.result, 2);
    EXPECT_LT(morvask->germans, 0.01);
    const std::vector<Box> expected = {
        {1, "general government is established"},
        {200, "construction of the wall begun"},
        {541, "we are being overthrown"},
    };
    EXPECT_EQ(boxes, expected);
    EXPECT_EQ(end.tick, 582);
}
