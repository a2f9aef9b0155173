// The two button kinds: the frames cut from their strip, the bevel ring, and
// how presses and releases move them and write their flag.
#include "widgets_fixture.h"

namespace {

const int bx = 20, by = 30, bw = 9, bh = 6;

class Buttons : public WidgetTest {
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        // Frame i is filled with inner(i) and ringed with ring(i), so a draw
        // shows which frame it took and whether the ring came with it.
        strip = picture(bw, 4 * bh, 0);
        for (int i = 0; i < 4; i++) {
            rectfill(strip, 0, i * bh, bw - 1, i * bh + bh - 1, ring(i));
            rectfill(strip, 1, i * bh + 1, bw - 2, i * bh + bh - 2, inner(i));
        }
    }
    static int inner(int frame) { return makecol(50 + frame, 0, 0); }
    static int ring(int frame) { return makecol(0, 50 + frame, 0); }

    // Checks the button's whole rectangle: the inner part shows the frame's
    // fill, the ring shows the frame's ring or, left out, the paper.
    void expect_drawn(int frame, bool withring)
    {
        for (int y = by; y < by + bh; y++)
            for (int x = bx; x < bx + bw; x++) {
                bool edge = x == bx || y == by || x == bx + bw - 1 || y == by + bh - 1;
                int want = !edge ? inner(frame) : withring ? ring(frame) : paper;
                ASSERT_EQ(pixel(x, y), want) << "at " << x << "," << y;
            }
        EXPECT_EQ(pixel(bx - 1, by), paper);
        EXPECT_EQ(pixel(bx + bw, by + bh), paper);
    }
    template <class B> void redraw(B& b)
    {
        clear_to_color(buffer, paper);
        b.draw();
    }

    BITMAP* strip = nullptr;
    bool flag = false;
};

TEST_F(Buttons, EachStateDrawsItsOwnFrame)
{
    Toggle_Button t(bx, by, bw, bh, strip, "t", true, false, &flag);
    for (int state = 0; state < 4; state++) {
        t.state = state;
        redraw(t);
        expect_drawn(state, true);
    }
}

TEST_F(Buttons, FramesAreTheButtonsOwnCopies)
{
    Set_Button s(bx, by, bw, bh, strip, "s", true, false, &flag);
    clear_to_color(strip, pink);
    redraw(s);
    expect_drawn(0, true);
}

TEST_F(Buttons, BevelRingShowsOnlyWhileCapturedOrOn)
{
    Set_Button s(bx, by, bw, bh, strip, "s", true, true, &flag);
    redraw(s);
    expect_drawn(0, false);
    s.captured = true;
    redraw(s);
    expect_drawn(0, true);
    s.captured = false;
    s.state = 2;
    redraw(s);
    expect_drawn(2, true);

    Toggle_Button off(bx, by, bw, bh, strip, "off", false, true, &flag);
    redraw(off);
    expect_drawn(3, false);
    off.enable();
    redraw(off);
    expect_drawn(0, false);
}

TEST_F(Buttons, OneShotSetsForGoodOnAReleaseOverIt)
{
    Set_Button s(bx, by, bw, bh, strip, "s", true, true, &flag);
    EXPECT_FALSE(s.mouseinput(bx, by, false));
    EXPECT_EQ(s.state, 0);
    EXPECT_TRUE(s.mouseinput(bx, by, true));
    EXPECT_EQ(s.state, 1);
    EXPECT_TRUE(s.mouseinput(200, 200, true));
    EXPECT_FALSE(flag);
    EXPECT_FALSE(s.mouseinput(bx + bw - 1, by + bh - 1, false));
    EXPECT_EQ(s.state, 2);
    EXPECT_TRUE(s.on);
    EXPECT_TRUE(flag);

    // Set is final: it never takes the mouse again and never writes false.
    flag = false;
    EXPECT_FALSE(s.mouseinput(bx, by, true));
    EXPECT_FALSE(s.mouseinput(bx, by, false));
    EXPECT_EQ(s.state, 2);
    EXPECT_FALSE(flag);
    s.enable();
    EXPECT_EQ(s.state, 2);
}

TEST_F(Buttons, OneShotReleasedBesideItReturnsToUp)
{
    Set_Button s(bx, by, bw, bh, strip, "s", true, true, &flag);
    s.mouseinput(bx, by, true);
    EXPECT_FALSE(s.mouseinput(bx + bw, by, false));
    EXPECT_EQ(s.state, 0);
    EXPECT_FALSE(s.on);
    EXPECT_FALSE(flag);
}

TEST_F(Buttons, DisabledButtonsWakeUpOnlyThroughEnable)
{
    Set_Button s(bx, by, bw, bh, strip, "s", false, true, &flag);
    EXPECT_EQ(s.state, 3);
    EXPECT_FALSE(s.enabled);
    s.enable();
    EXPECT_TRUE(s.enabled);
    EXPECT_EQ(s.state, 0);

    Toggle_Button t(bx, by, bw, bh, strip, "t", true, true, &flag);
    t.mouseinput(bx, by, true);
    t.enable();
    EXPECT_EQ(t.state, 1);
}

TEST_F(Buttons, ToggleFlipsOnReleaseOverItAndWritesEveryRelease)
{
    Toggle_Button t(bx, by, bw, bh, strip, "t", true, true, &flag);
    EXPECT_TRUE(t.mouseinput(bx, by, true));
    EXPECT_FALSE(flag);
    EXPECT_FALSE(t.mouseinput(bx, by, false));
    EXPECT_EQ(t.state, 2);
    EXPECT_TRUE(flag);

    // Pressing an "on" toggle holds it; the held frame comes with its ring.
    EXPECT_FALSE(t.mouseinput(bx, by, false));
    EXPECT_TRUE(t.mouseinput(bx, by, true));
    EXPECT_EQ(t.state, 1);
    t.captured = true;
    redraw(t);
    expect_drawn(1, true);

    flag = false;
    EXPECT_FALSE(t.mouseinput(0, 0, false));
    EXPECT_EQ(t.state, 2);
    EXPECT_TRUE(t.on);
    EXPECT_TRUE(flag);

    t.mouseinput(bx, by, true);
    EXPECT_FALSE(t.mouseinput(bx + 1, by + 1, false));
    EXPECT_EQ(t.state, 0);
    EXPECT_FALSE(t.on);
    EXPECT_FALSE(flag);

    flag = true;
    t.mouseinput(bx, by, true);
    t.mouseinput(bx, by + bh, false);
    EXPECT_EQ(t.state, 0);
    EXPECT_FALSE(flag);
}

}  // namespace
