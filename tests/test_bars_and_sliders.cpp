// The population bars and the sliders: their lengths, rounding and outline,
// and the setting a slider writes from the pointer's column.
#include "widgets_fixture.h"

#include <cmath>
#include <limits>
#include <string>

namespace {

// The game's size of a bar: a 13-pixel label and 28 pixels of bar.
const int gx = 10, gy = 20, gw = 41, gh = 7, lw = 13;
const int left = gx + lw;   // first column of the bar area

class Bars : public WidgetTest {
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        label = picture(lw, gh, makecol(0, 120, 0));
        labelcolour = getpixel(label, 0, 0);
    }

    // The bar area's inner rows, column by column from `left`: '.' paper,
    // 'y' yellow, 'r' red, 'k' black.
    std::string inner_row(int y, int from, int to) const
    {
        std::string s;
        for (int x = from; x <= to; x++) {
            int c = pixel(x, y);
            s += c == paper ? '.' : c == yellow ? 'y' : c == red ? 'r' : c == black ? 'k'
                : c == labelcolour ? 'L' : '?';
        }
        return s;
    }
    void expect_every_inner_row(int from, int to, const std::string& want) const
    {
        for (int y = gy + 1; y <= gy + gh - 2; y++)
            ASSERT_EQ(inner_row(y, from, to), want) << "row " << y;
    }
    void expect_outline_and_label() const
    {
        for (int x = gx; x < gx + gw; x++) {
            EXPECT_EQ(pixel(x, gy), black);
            EXPECT_EQ(pixel(x, gy + gh - 1), black);
        }
        EXPECT_EQ(inner_row(gy + 3, gx, left - 1), "k" + std::string(lw - 1, 'L'));
    }

    BITMAP* label = nullptr;
    int labelcolour = 0;
};

std::string run(char c, int n)
{
    return std::string(n > 0 ? n : 0, c);
}

TEST_F(Bars, SinglebarLengthIsRoundedAt28PixelsAUnit)
{
    struct Case { float value; std::string bar; } cases[] = {
        {0.0f, run('.', 27) + "k"},
        {-0.5f, run('.', 27) + "k"},
        {1.0f / 56 - 0.001f, run('.', 27) + "k"},
        {1.0f / 28, "k" + run('.', 26) + "k"},
        {0.375f, run('y', 10) + "k" + run('.', 16) + "k"},
        {1.0f, run('y', 27) + "k"},
    };
    for (const Case& c : cases) {
        float value = c.value;
        Singlebar bar(gx, gy, gw, gh, lw, label, "bar", &value);
        clear_to_color(buffer, paper);
        bar.draw();
        SCOPED_TRACE(c.value);
        expect_outline_and_label();
        expect_every_inner_row(left, gx + gw - 1, c.bar);
        EXPECT_EQ(pixel(gx + gw, gy + 3), paper);
    }
}

TEST_F(Bars, SinglebarPastOneRunsOverItsOutline)
{
    float value = 2.0f;
    Singlebar bar(gx, gy, gw, gh, lw, label, "bar", &value);
    bar.draw();
    expect_every_inner_row(left, left + 56, run('y', 55) + "k.");
}

TEST_F(Bars, WildValuesStayInsideTheBuffer)
{
    const float wild[] = {1e30f, -1e30f, std::numeric_limits<float>::infinity(),
                          std::numeric_limits<float>::quiet_NaN()};
    for (float v : wild) {
        float values[2] = {v, v};
        Singlebar single(gx, gy, gw, gh, lw, label, "bar", values);
        Doublebar twin(gx, gy + 20, gw, gh, lw, label, "bar", values);
        clear_to_color(buffer, paper);
        single.draw();
        twin.draw();
        int end = v > 0 ? yellow : paper;
        EXPECT_EQ(pixel(159, gy + 3), end) << v;
    }
}

TEST_F(Bars, DoublebarDrawsRedThenABoxedYellowPart)
{
    struct Case { float first, second; std::string bar; } cases[] = {
        // First part rounds to 0: the yellow box starts on the label's last column.
        {0.0f, 0.25f, "kyyyyyyyk" + run('.', 19)},
        // Rounds to 1: no red part and no red end line.
        {0.03f, 0.25f, "Lkyyyyyyyk" + run('.', 18)},
        // 13.5 and 6.5 round away from zero, to 14 and 7.
        {0.5f, 0.25f, "L" + run('r', 13) + "kyyyyyyyk" + run('.', 5)},
        // The second part rounds to nothing: no box.
        {0.5f, 0.01f, "L" + run('r', 13) + "k" + run('.', 13)},
        {0.0f, 0.0f, "L" + run('.', 27)},
    };
    for (const Case& c : cases) {
        float values[2] = {c.first, c.second};
        Doublebar bar(gx, gy, gw, gh, lw, label, "bar", values);
        clear_to_color(buffer, paper);
        bar.draw();
        SCOPED_TRACE(testing::Message() << c.first << " " << c.second);
        expect_every_inner_row(left - 1, gx + gw - 2, c.bar);
        for (int x = gx; x < gx + gw; x++) {
            ASSERT_EQ(pixel(x, gy), black);
            ASSERT_EQ(pixel(x, gy + gh - 1), black);
        }
    }
}

TEST_F(Bars, SliderKeepsItsLabelEdgesAndShowsItsOwnFill)
{
    float setting = 0.2f;
    Inputbar slider(gx, gy, 50, gh, lw, label, "slider", 10, &setting);
    EXPECT_EQ(setting, 0.2f);
    slider.draw();
    EXPECT_EQ(inner_row(gy, gx, left - 1), run('L', lw));
    EXPECT_EQ(pixel(left, gy), black);
    EXPECT_EQ(pixel(gx + 49, gy + 3), black);
    expect_every_inner_row(left, left + 10, run('y', 9) + "k.");
}

TEST_F(Bars, SliderFollowsThePointersColumnAndWritesFillOver37)
{
    float setting = 0.2f;
    Inputbar slider(gx, gy, 50, gh, lw, label, "slider", 10, &setting);
    EXPECT_FALSE(slider.mouseinput(left + 20, gy, false));
    EXPECT_EQ(slider.fill, 10);
    EXPECT_EQ(setting, 0.2f);

    struct Case { int px; int fill; } cases[] = {
        {left - 1, 0}, {left - 2, 0}, {0, 0}, {left, 1}, {left + 20, 21},
        {gx + 48, 36}, {gx + 49, 37}, {159, 37},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(slider.mouseinput(c.px, 115, true));
        EXPECT_EQ(slider.fill, c.fill) << c.px;
        EXPECT_EQ(setting, c.fill / 37.0f) << c.px;
    }
    EXPECT_EQ(setting, 1.0f);

    slider.mouseinput(left + 20, gy, true);
    clear_to_color(buffer, paper);
    slider.draw();
    EXPECT_EQ(pixel(left + 20, gy + 3), black);
    EXPECT_EQ(pixel(left + 19, gy + 3), yellow);

    // The divisor does not follow the slider's width.
    Inputbar shorter(gx, gy, lw + 20, gh, lw, label, "slider", 10, &setting);
    shorter.mouseinput(159, gy, true);
    EXPECT_EQ(setting, 20 / 37.0f);
}

TEST_F(Bars, DraggedSliderWritesUntilTheRelease)
{
    float setting = 0.2f;
    auto* slider = new Inputbar(gx, gy, 50, gh, lw, label, "slider", 10, &setting);
    elementarray.push_back(slider);
    point_at(left + 4, gy + 2, true);
    mouse_input();
    EXPECT_EQ(capturing, slider);
    EXPECT_EQ(setting, 5 / 37.0f);

    point_at(left + 30, 100, true);
    mouse_input();
    EXPECT_EQ(setting, 31 / 37.0f);

    point_at(left + 2, 100, false);
    mouse_input();
    EXPECT_EQ(capturing, nullptr);
    EXPECT_EQ(setting, 31 / 37.0f);
    EXPECT_EQ(slider->fill, 31);
}

}  // namespace
