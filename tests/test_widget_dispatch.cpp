// The per-tick mouse dispatch: hover labels, taking and keeping the mouse,
// letting go, disabled widgets, the quarter unlocking its policies, quick
// clicks, and the list's drawing and destruction.
#include "widgets_fixture.h"

#include <string>

namespace {

// A widget that records what the dispatch hands it.
struct Probe : Screen_Element {
    Probe(int x, int y, int w, int h, const char* label, bool enabled = true)
        : Screen_Element(x, y, w, h, label, enabled) {}
    void draw() override { rectfill(buffer, x, y, x + w - 1, y + h - 1, colour); }
    bool mouseinput(int px, int py, bool down) override
    {
        calls++;
        lastx = px;
        lasty = py;
        lastdown = down;
        order += label;
        return keeps && down;
    }
    ~Probe() override { destroyed++; }

    int colour = 0;
    bool keeps = false;     // takes the mouse while the button is down
    int calls = 0, lastx = -1, lasty = -1;
    bool lastdown = false;
    static std::string order;
    static int destroyed;
};
std::string Probe::order;
int Probe::destroyed = 0;

class Dispatch : public WidgetTest {
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        Probe::order.clear();
        Probe::destroyed = 0;
    }
    void tick(int x, int y, bool down)
    {
        point_at(x, y, down);
        mouse_input();
    }
    void click(int x, int y)
    {
        tick(x, y, true);
        tick(x, y, false);
    }
    Probe* add(Probe* p)
    {
        elementarray.push_back(p);
        return p;
    }
    Set_Button* add_button(int x, int y, bool enabled, bool* target)
    {
        auto* b = new Set_Button(x, y, 7, 7, strip, "button", enabled, true, target);
        elementarray.push_back(b);
        return b;
    }
    BITMAP* strip = nullptr;
    void make_strip() { strip = picture(7, 28, makecol(1, 2, 3)); }
};

TEST_F(Dispatch, WidgetCoversItsLeftAndTopEdgeButNotItsRightAndBottom)
{
    Probe p(7, 2, 7, 7, "p");
    EXPECT_TRUE(p.isat(7, 2));
    EXPECT_TRUE(p.isat(13, 8));
    EXPECT_FALSE(p.isat(14, 2));
    EXPECT_FALSE(p.isat(7, 9));
    EXPECT_FALSE(p.isat(6, 2));
    EXPECT_FALSE(p.isat(7, 1));
    Probe flat(7, 2, 0, 7, "flat"), thin(7, 2, 7, 0, "thin");
    EXPECT_FALSE(flat.isat(7, 2));
    EXPECT_FALSE(thin.isat(7, 2));
}

TEST_F(Dispatch, HoverOffersEveryWidgetUnderThePointerAndShowsTheLastLabel)
{
    Probe* under = add(new Probe(10, 10, 20, 20, "under"));
    Probe* elsewhere = add(new Probe(50, 50, 5, 5, "elsewhere"));
    Probe* over = add(new Probe(15, 15, 20, 20, "over"));
    tick(16, 16, false);
    EXPECT_EQ(Probe::order, "underover");
    EXPECT_EQ(elsewhere->calls, 0);
    EXPECT_STREQ(statustext, "over");
    EXPECT_EQ(capturing, nullptr);

    tick(12, 12, false);
    EXPECT_STREQ(statustext, "under");
    EXPECT_EQ(over->calls, 1);

    tick(100, 100, false);
    EXPECT_STREQ(statustext, "");
    EXPECT_EQ(under->calls, 2);

    // An earlier widget that takes the mouse hides the later ones.
    under->keeps = true;
    tick(16, 16, true);
    EXPECT_EQ(capturing, under);
    EXPECT_TRUE(under->captured);
    EXPECT_EQ(over->calls, 1);
    EXPECT_STREQ(statustext, "under");
}

TEST_F(Dispatch, CaptureFollowsThePointerOutsideUntilReleased)
{
    Probe* holder = add(new Probe(10, 10, 10, 10, "holder"));
    Probe* passed = add(new Probe(40, 40, 10, 10, "passed"));
    holder->keeps = true;
    passed->captured = true;
    tick(12, 12, true);
    ASSERT_EQ(capturing, holder);

    tick(42, 42, true);
    EXPECT_EQ(holder->lastx, 42);
    EXPECT_EQ(holder->lasty, 42);
    EXPECT_EQ(passed->calls, 0);
    EXPECT_TRUE(passed->captured);
    EXPECT_STREQ(statustext, "holder");

    // The release itself lets go; nothing is scanned on that tick.
    tick(42, 42, false);
    EXPECT_EQ(capturing, nullptr);
    EXPECT_STREQ(statustext, "");
    EXPECT_EQ(passed->calls, 0);
    EXPECT_TRUE(holder->captured);

    mouse_input();
    EXPECT_STREQ(statustext, "passed");
    EXPECT_FALSE(holder->captured);
}

TEST_F(Dispatch, CapturedFlagStaysWhileThePointerRestsOnTheWidget)
{
    Probe* p = add(new Probe(10, 10, 10, 10, "p"));
    p->keeps = true;
    click(12, 12);
    mouse_input();
    EXPECT_TRUE(p->captured);
    EXPECT_STREQ(statustext, "p");
    tick(30, 30, false);
    EXPECT_FALSE(p->captured);
}

TEST_F(Dispatch, DisabledWidgetUnderThePointerIsPassedOver)
{
    make_strip();
    bool flag = false;
    Probe* below = add(new Probe(0, 0, 50, 50, "below"));
    Set_Button* off = add_button(10, 10, false, &flag);
    off->captured = true;
    tick(12, 12, true);
    EXPECT_STREQ(statustext, "below");
    EXPECT_FALSE(off->captured);
    EXPECT_EQ(off->state, 3);
    EXPECT_EQ(capturing, nullptr);
    EXPECT_EQ(below->calls, 1);

    elementarray.erase(elementarray.begin());
    delete below;
    mouse_input();
    EXPECT_STREQ(statustext, "");
}

TEST_F(Dispatch, ButtonReleasedOutsideStaysUpAndWritesNothing)
{
    make_strip();
    bool flag = false;
    Set_Button* b = add_button(10, 10, true, &flag);
    tick(11, 11, true);
    EXPECT_EQ(capturing, b);
    EXPECT_EQ(b->state, 1);
    tick(60, 60, false);
    EXPECT_EQ(capturing, nullptr);
    EXPECT_EQ(b->state, 0);
    EXPECT_FALSE(flag);
}

TEST_F(Dispatch, QuarterButtonUnlocksTheWallAndTheTrains)
{
    make_strip();
    morvask = new Morvask;
    Set_Button* quarter = add_button(10, 10, true, &morvask->jewishquarter);
    Set_Button* wall = add_button(20, 10, false, &morvask->wall);
    auto* trains = new Toggle_Button(30, 10, 7, 7, strip, "start the trains", false, true,
                                     &morvask->trains);
    elementarray.push_back(trains);
    auto* badge = new Toggle_Button(40, 10, 7, 7, strip, "badge", true, true,
                                    &morvask->jewishbadge);
    elementarray.push_back(badge);
    badge->state = 2;
    badge->on = true;

    tick(11, 11, true);
    EXPECT_EQ(wall->state, 3);
    tick(11, 11, false);
    EXPECT_TRUE(morvask->jewishquarter);
    EXPECT_EQ(quarter->state, 2);
    EXPECT_TRUE(wall->enabled);
    EXPECT_EQ(wall->state, 0);
    EXPECT_TRUE(trains->enabled);
    EXPECT_EQ(trains->state, 0);
    EXPECT_EQ(badge->state, 2);
    EXPECT_TRUE(badge->on);

    // Once set, the quarter button lets later presses through.
    Probe* under = add(new Probe(10, 10, 7, 7, "under"));
    under->keeps = true;
    tick(11, 11, true);
    EXPECT_EQ(capturing, under);
}

TEST_F(Dispatch, OtherButtonsUnlockNothing)
{
    make_strip();
    bool start = false;
    Set_Button* locked = add_button(20, 10, false, &start);
    // Before the first game there is no model to compare with.
    add_button(10, 10, true, &start);
    click(11, 11);
    EXPECT_TRUE(start);

    morvask = new Morvask;
    Set_Button* wallbutton = add_button(30, 10, true, &morvask->wall);
    click(31, 11);
    EXPECT_TRUE(morvask->wall);
    EXPECT_EQ(wallbutton->state, 2);
    EXPECT_EQ(locked->state, 3);
    EXPECT_FALSE(locked->enabled);
}

TEST_F(Dispatch, QuickClickBetweenTwoTicksIsSeen)
{
    make_strip();
    bool flag = false;
    Set_Button* b = add_button(10, 10, true, &flag);
    latch_mouse_presses();
    ASSERT_NE(mouse_callback, nullptr);
    point_at(11, 11, false);
    mouse_callback(MOUSE_FLAG_LEFT_DOWN);
    mouse_callback(MOUSE_FLAG_LEFT_UP);
    mouse_input();
    EXPECT_EQ(capturing, b);
    mouse_input();
    EXPECT_TRUE(flag);
    EXPECT_EQ(b->state, 2);
}

TEST_F(Dispatch, LatchedPressCountsForOneTickOnly)
{
    latch_mouse_presses();
    mouse_b = 0;
    mouse_callback(MOUSE_FLAG_MOVE);
    mouse_callback(MOUSE_FLAG_RIGHT_DOWN);
    EXPECT_FALSE(left_button_down());
    mouse_callback(MOUSE_FLAG_LEFT_DOWN);
    mouse_callback(MOUSE_FLAG_LEFT_DOWN);
    EXPECT_TRUE(left_button_down());
    EXPECT_FALSE(left_button_down());

    // A press still held is down on every tick and its latch is spent at once.
    mouse_b = 1;
    mouse_callback(MOUSE_FLAG_LEFT_DOWN);
    EXPECT_TRUE(left_button_down());
    EXPECT_TRUE(left_button_down());
    mouse_b = 0;
    EXPECT_FALSE(left_button_down());
}

TEST_F(Dispatch, LaterWidgetsAreDrawnOnTop)
{
    Probe* a = add(new Probe(10, 10, 10, 10, "a"));
    Probe* b = add(new Probe(15, 15, 10, 10, "b"));
    a->colour = makecol(1, 1, 1);
    b->colour = makecol(2, 2, 2);
    drawGUI();
    EXPECT_EQ(pixel(12, 12), a->colour);
    EXPECT_EQ(pixel(17, 17), b->colour);
    EXPECT_EQ(pixel(24, 24), b->colour);
}

TEST_F(Dispatch, DestroyingTheListDropsTheCapture)
{
    Probe* p = add(new Probe(10, 10, 10, 10, "p"));
    add(new Probe(30, 10, 10, 10, "q"));
    elementarray.push_back(nullptr);
    p->keeps = true;
    tick(12, 12, true);
    ASSERT_EQ(capturing, p);
    destroy_widgets();
    EXPECT_EQ(Probe::destroyed, 2);
    EXPECT_TRUE(elementarray.empty());
    EXPECT_EQ(capturing, nullptr);
}

TEST_F(Dispatch, PointerDrawsItsTopLeftCornerMasked)
{
    cursorbmp = picture(8, 8, makecol(9, 9, 9));
    putpixel(cursorbmp, 1, 1, pink);
    point_at(20, 30, false);
    drawCursor();
    EXPECT_EQ(pixel(20, 30), makecol(9, 9, 9));
    EXPECT_EQ(pixel(24, 36), makecol(9, 9, 9));
    EXPECT_EQ(pixel(21, 31), paper);
    EXPECT_EQ(pixel(25, 30), paper);
    EXPECT_EQ(pixel(20, 37), paper);
    cursorbmp = nullptr;
}

}  // namespace
