#include <gtest/gtest.h>

#include <cmath>

#include "glyph/jitter.h"
#include "glyph/settings.h"
#include "platform/win/winapi.h"
#include "support.h"

namespace {

using glyphtest::SettingsScope;

// The run-time generator, written out, to know what the next draw must be.
struct Generator {
    explicit Generator(unsigned seed) : x(seed) {}
    int next() {
        x = x * 214013u + 2531011u;
        return static_cast<int>((x >> 16) & 0x7FFF);
    }
    int skip(int n) {
        int v = 0;
        for (int i = 0; i < n; ++i) v = next();
        return v;
    }
    unsigned x;
};

// Character 3 of line 2, at x 100 of a 720-pixel frame, frame 10.
constexpr int kLine = 2, kIndex = 3, kWidth = 720, kX = 100;

glyph::JitterSettings& jitter() {
    glyph::JitterSettings& j = glyph::glyphSettings().jitter;
    j.frameIndex = 10;
    j.speed = 0.5f;
    j.frequency = 2.0f;
    j.seed = 7;
    return j;
}

enum class Kind { Offset, Rotation, Colour, Scale };

struct JitterCase {
    const char* name;
    Kind kind;
    int type;
    float value;
    float expected[3];       // dx, dy | degrees | r, g, b | factor
    unsigned reseededWith;   // the seed the call leaves the generator on
    int drawsUsed;           // draws since that seed; -1: the generator is not touched
};
void PrintTo(const JitterCase& c, std::ostream* os) { *os << c.name; }

class Jitter : public ::testing::TestWithParam<JitterCase> {};

// Chaos seed: 2 + 3 + trunc(10 x 0.5) = 10; swing seed: 7 + 2 + 3 = 12.
TEST_P(Jitter, GivesTheValueAndLeavesTheGeneratorWhereItShould) {
    SettingsScope scope;
    const JitterCase& c = GetParam();
    glyph::JitterSettings& j = jitter();
    crt::srand(999);
    float got[3] = {0, 0, 0};
    switch (c.kind) {
    case Kind::Offset: {
        j.offsetType = c.type;
        j.offsetValue = c.value;
        const glyph::JitterOffset o = glyph::offsetJitter(kLine, kIndex, kWidth, kX);
        got[0] = o.dx;
        got[1] = o.dy;
        break;
    }
    case Kind::Rotation:
        j.rotationType = c.type;
        j.rotationAmount = c.value;
        got[0] = glyph::rotationJitter(kLine, kIndex, kWidth, kX);
        break;
    case Kind::Colour: {
        j.colorType = c.type;
        j.colorValue = c.value;
        COLORREF colour = RGB(200, 100, 50);
        glyph::colorJitter(colour, kLine, kIndex, kWidth, kX);
        got[0] = GetRValue(colour);
        got[1] = GetGValue(colour);
        got[2] = GetBValue(colour);
        break;
    }
    case Kind::Scale:
        j.scaleType = c.type;
        j.scaleValue = c.value;
        got[0] = glyph::scaleJitter(kLine, kIndex, kWidth, kX);
        break;
    }
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], c.expected[i], 1e-3) << i;
    Generator reference(c.drawsUsed < 0 ? 999u : c.reseededWith);
    reference.skip(c.drawsUsed < 0 ? 0 : c.drawsUsed);
    EXPECT_EQ(crt::rand(), reference.next());
}

INSTANTIATE_TEST_SUITE_P(
    Offset, Jitter,
    ::testing::Values(
        JitterCase{"none", Kind::Offset, 1, 50, {0, 0, 0}, 0, -1},
        JitterCase{"unknown type is none", Kind::Offset, 9, 50, {0, 0, 0}, 0, -1},
        // f = 0.72; draws 71 and 16899.
        JitterCase{"chaos jump", Kind::Offset, 2, 100, {-668.88f, -72.72f, 0}, 10, 2},
        // A = 72; theta = (r2 mod 1000 - 500) + sign x 5 = -273.
        JitterCase{"swing", Kind::Offset, 3, 10, {-68.377472f, -22.550411f, 0}, 12, 3},
        JitterCase{"swing vertical", Kind::Offset, 4, 10, {0, -22.550411f, 0}, 12, 3},
        // Phase 100/720 x 2 + 5 + 7.
        JitterCase{"wave", Kind::Offset, 5, 10, {0, -20.491455f, 0}, 0, -1},
        // Phase 5 + 3 x 2 x 0.1 + 7.
        JitterCase{"chaos wave", Kind::Offset, 6, 10, {0, 2.4208593f, 0}, 0, -1}));

INSTANTIATE_TEST_SUITE_P(
    Rotation, Jitter,
    ::testing::Values(JitterCase{"none", Kind::Rotation, 1, 30, {0, 0, 0}, 0, -1},
                      JitterCase{"chaos", Kind::Rotation, 2, 30, {20.697f, 0, 0}, 10, 2},
                      JitterCase{"swing", Kind::Rotation, 3, 30, {-28.490614f, 0, 0}, 12, 3},
                      JitterCase{"wave", Kind::Rotation, 4, 30, {28.759359f, 0, 0}, 0, -1},
                      JitterCase{"chaos wave", Kind::Rotation, 5, 30, {29.983038f, 0, 0}, 0, -1},
                      // sin(5 x 2 x 0.1 + 5 + 7) = 0.42017.
                      JitterCase{"running", Kind::Rotation, 6, 30, {12.605011f, 0, 0}, 0, -1}));

INSTANTIATE_TEST_SUITE_P(
    Colour, Jitter,
    ::testing::Values(JitterCase{"none", Kind::Colour, 1, 40, {200, 100, 50}, 0, -1},
                      JitterCase{"chaos: one discarded draw, then red, green, blue",
                                 Kind::Colour, 2, 40, {227, 73, 64}, 10, 4},
                      JitterCase{"swing: one angle per channel", Kind::Colour, 3, 40,
                                 {162, 63, 27}, 12, 7},
                      // k = cos(12.2778) x 40 = 38.35.
                      JitterCase{"wave", Kind::Colour, 4, 40, {238, 61, 69}, 0, -1}));

INSTANTIATE_TEST_SUITE_P(
    Scale, Jitter,
    ::testing::Values(JitterCase{"none", Kind::Scale, 1, 50, {1, 0, 0}, 0, -1},
                      JitterCase{"chaos", Kind::Scale, 2, 50, {4.4495f, 0, 0}, 10, 2},
                      JitterCase{"swing", Kind::Scale, 3, 50, {-3.7484357f, 0, 0}, 12, 3},
                      JitterCase{"running", Kind::Scale, 6, 50, {3.1008351f, 0, 0}, 0, -1}));

TEST(ColorJitter, WaveAtStrength100ClampsEachChannel) {
    SettingsScope scope;
    glyph::JitterSettings& j = glyph::glyphSettings().jitter;
    j.colorType = 4;
    j.colorValue = 100.0f;  // phase 0: k = 100
    COLORREF c = RGB(200, 200, 200);
    glyph::colorJitter(c, 0, 0, 720, 0);
    EXPECT_EQ(c, RGB(255, 100, 250));
    j.colorType = 6;  // running, sin(0) = 0: no change
    c = RGB(10, 20, 30);
    glyph::colorJitter(c, 0, 0, 720, 0);
    EXPECT_EQ(c, RGB(10, 20, 30));
}

TEST(ChaosJitters, SpeedZeroRepeatsEveryFrameAndSpeedHalfEverySecond) {
    SettingsScope scope;
    glyph::JitterSettings& j = glyph::glyphSettings().jitter;
    j.offsetType = 2;
    j.offsetValue = 30.0f;
    auto at = [&](int frame) {
        j.frameIndex = frame;
        return glyph::offsetJitter(1, 4, 640, 0);
    };
    j.speed = 0.0f;
    const glyph::JitterOffset a = at(0);
    for (int f = 1; f < 6; ++f) {
        EXPECT_EQ(at(f).dx, a.dx);
        EXPECT_EQ(at(f).dy, a.dy);
    }
    j.speed = 0.5f;
    EXPECT_EQ(at(2).dx, at(3).dx);
    EXPECT_EQ(at(4).dy, at(5).dy);
    EXPECT_NE(at(3).dx, at(4).dx);
}

TEST(ChaosJump, StaysWithinTheFrameWidth) {
    SettingsScope scope;
    glyph::JitterSettings& j = glyph::glyphSettings().jitter;
    j.offsetType = 2;
    j.offsetValue = 100.0f;
    j.speed = 1.0f;
    float largest = 0;
    for (int frame = 0; frame < 200; ++frame) {
        j.frameIndex = frame;
        const glyph::JitterOffset o = glyph::offsetJitter(frame % 7, frame % 13, 720, 0);
        largest = std::max({largest, std::fabs(o.dx), std::fabs(o.dy)});
    }
    EXPECT_LE(largest, 720.0f);
    EXPECT_GT(largest, 600.0f);
}

TEST(RunningScale, StaysOneWhereTheSineIsNotPositive) {
    SettingsScope scope;
    glyph::JitterSettings& j = glyph::glyphSettings().jitter;
    j.scaleType = 6;
    j.scaleValue = 50.0f;
    j.frequency = 10.0f;  // one radian per character
    int grown = 0;
    for (int index = 0; index < 40; ++index) {
        const float s = glyph::scaleJitter(0, index, 720, 0);
        if (std::sin(index * 1.0) <= 0)
            EXPECT_EQ(s, 1.0f) << index;
        else {
            ++grown;
            EXPECT_GT(s, 1.0f) << index;
        }
    }
    EXPECT_GT(grown, 10);
}

TEST(Jitters, AZeroWidthFrameGivesNoNonsense) {
    SettingsScope scope;
    glyph::JitterSettings& j = glyph::glyphSettings().jitter;
    j.offsetType = 5;
    j.offsetValue = 10.0f;
    j.frequency = 1.0f;
    const glyph::JitterOffset o = glyph::offsetJitter(0, 0, 0, 0);  // 0/0 phase
    EXPECT_EQ(o.dx, 0.0f);
    EXPECT_TRUE(std::isnan(o.dy) || o.dy == 0.0f);
    j.colorType = 4;
    j.colorValue = 10.0f;
    COLORREF c = RGB(1, 2, 3);
    glyph::colorJitter(c, 0, 0, 0, 5);  // an infinite phase: the channels stay in range
    EXPECT_LE(GetRValue(c), 255);
}

TEST(Jitters, TheMorphingRulesComputeInSinglePrecision) {
    SettingsScope scope;
    glyph::JitterSettings& j = jitter();
    j.rotationType = 4;
    j.rotationAmount = 30.0f;
    const float typing = glyph::rotationJitter(kLine, kIndex, kWidth, kX);
    glyph::glyphSettings().rules = glyph::EngineRules::Morphing;
    const float morphing = glyph::rotationJitter(kLine, kIndex, kWidth, kX);
    EXPECT_NEAR(typing, morphing, 1e-3);
    const float phase = 100.0f / 720.0f * 2.0f + 5.0f + 7.0f;
    EXPECT_FLOAT_EQ(morphing, std::cos(phase) * 30.0f);
}

}  // namespace
