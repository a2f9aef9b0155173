// The background music as the game plays it: xm/bg.xm loaded by DUMB's quick
// XM loader and rendered mono at 11,025 Hz, without a sound card.
#include <dumb.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int rate = 11025;
constexpr long dumb_second = 65536;  // DUMB's positions and lengths count 1/65536 s

// The RMS level of a stretch of 16-bit samples, in dB of full scale.
double level_db(const short* first, const short* last)
{
    double sum = 0.0;
    for (const short* s = first; s != last; ++s)
        sum += double(*s) * *s;
    double rms = std::sqrt(sum / double(last - first));
    return 20.0 * std::log10(std::max(rms, 1.0) / 32768.0);
}

class MusicModule : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dumb_register_stdfiles();
        music = dumb_load_xm_quick("xm/bg.xm");
        if (!music)
            return;
        // The quick loader leaves the length unknown; the game never needs
        // it, but it is how long the piece takes to come round.
        dumb_it_do_initial_runthrough(music);
        length = duh_get_length(music);
    }

    static void TearDownTestSuite()
    {
        if (music)
            unload_duh(music);
        music = nullptr;
        dumb_exit();
    }

    void SetUp() override { ASSERT_NE(music, nullptr) << "xm/bg.xm did not load"; }

    // Renders `seconds` of music from `from` (in 1/65536 s) exactly as the
    // game's player asks for it: one channel, 11,025 Hz, volume 1.
    static std::vector<short> render(long from, double seconds)
    {
        std::vector<short> out(std::size_t(seconds * rate));
        DUH_SIGRENDERER* renderer = duh_start_sigrenderer(music, 0, 1, from);
        long got = duh_render(renderer, 16, 0, 1.0f, 65536.0f / rate, long(out.size()), out.data());
        duh_end_sigrenderer(renderer);
        out.resize(std::size_t(std::max(got, 0L)));
        return out;
    }

    static DUH* music;
    static long length;
};

DUH* MusicModule::music = nullptr;
long MusicModule::length = 0;

TEST_F(MusicModule, LastsOneToTwoMinutesBeforeComingRound)
{
    EXPECT_GE(length, 60 * dumb_second);
    EXPECT_LE(length, 120 * dumb_second);
}

TEST_F(MusicModule, IsHeardFromItsFirstSeconds)
{
    std::vector<short> opening = render(0, 4.0);
    ASSERT_EQ(opening.size(), std::size_t(4 * rate));
    EXPECT_GT(level_db(opening.data(), opening.data() + opening.size()), -35.0);
}

// Through the whole piece and on into its next round: no second falls
// silent, nothing reaches full scale, and the whole stays in the background.
TEST_F(MusicModule, SoundsQuietlyAndUnclippedThroughTheLoop)
{
    double seconds = double(length) / dumb_second + 10.0;
    std::vector<short> song = render(0, seconds);
    ASSERT_EQ(song.size(), std::size_t(seconds * rate)) << "the music stopped at its end";

    for (std::size_t start = 0; start + rate <= song.size(); start += rate)
        EXPECT_GT(level_db(&song[start], &song[start + rate]), -40.0)
            << "silence in second " << start / rate;

    auto clipped = std::count_if(song.begin(), song.end(),
                                 [](short s) { return s >= 32767 || s <= -32767; });
    EXPECT_EQ(clipped, 0);
    double overall = level_db(song.data(), song.data() + song.size());
    EXPECT_LT(overall, -16.0);
    EXPECT_GT(overall, -30.0);
}

}  // namespace
