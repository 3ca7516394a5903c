#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "glyph/coverage.h"
#include "glyph/font_setup.h"
#include "glyph/line_renderer.h"
#include "glyph/settings.h"
#include "platform/win/winapi.h"
#include "support.h"

namespace {

using glyphtest::Frame;
using glyphtest::LayoutWindow;
using glyphtest::rtfText;
using glyphtest::SettingsScope;

constexpr int kW = 400, kH = 70;

// One line of text in a layout window, with its line table.
struct Line {
    explicit Line(const std::string& text, int halfPoints = 40, const char* face = "Arial")
        : doc(rtfText(text, face, halfPoints)) {
        int start = 0;
        glyph::layoutLineStart(doc.hwnd(), 0, &start);
        length = glyph::layoutLineLength(doc.hwnd(), start);
        int pen = 0;
        for (int i = 0; i < length; ++i) {
            lefts.push_back(pen);
            advances.push_back(glyph::measureCharAdvance(doc.hwnd(), 0, i));
            pen += advances.back();
        }
        entry = glyph::LineEntry{pen, 40, 0, 0, 0, 0, 40};
        glyph::glyphSettings().lineTable = &entry;
        glyph::glyphSettings().lineCount = 1;
    }
    Frame draw(float x, float skip = 0.0f, int invertAfterTab = 0, int invertLine = 0,
               int mode = 0, double density = 0.0, float opacity = 1.0f) const {
        Frame f(kW, kH);
        glyph::drawLine(doc.hwnd(), kW, kH, kW, f.bytes.data(), 0, 10.0f, x, skip, invertAfterTab,
                        invertLine, mode, density, opacity, 1.0f / 40.0f);
        return f;
    }
    LayoutWindow doc;
    int length = 0;
    std::vector<int> lefts, advances;
    glyph::LineEntry entry{};
};

// Pixels of columns [from, to) of the frame.
std::vector<uint8_t> columns(const Frame& f, int from, int to) {
    std::vector<uint8_t> out;
    for (int y = 0; y < f.height; ++y)
        for (int x = std::max(from, 0); x < std::min(to, f.width); ++x)
            for (int k = 0; k < 4; ++k) out.push_back(f.bytes[4 * (y * f.pixelsPerRow + x) + k]);
    return out;
}

// The inside of character i's cell, clear of its neighbours' boxes.
std::vector<uint8_t> cell(const Frame& f, const Line& line, int i, int x) {
    return columns(f, x + line.lefts[i] + 2, x + line.lefts[i] + line.advances[i] - 2);
}

TEST(DrawLine, WordModeAtDensityOneInvertsTheLettersOnly) {
    SettingsScope scope;
    Line line("ab, cd");
    const Frame words = line.draw(20, 0, 0, 0, 2, 1.0);
    const Frame headline = line.draw(20, 0, 0, 1, 0, 0.0);
    const Frame plain = line.draw(20);
    EXPECT_EQ(words.bytes, headline.bytes);
    EXPECT_NE(words.bytes, plain.bytes);
    EXPECT_EQ(cell(words, line, 2, 20), cell(plain, line, 2, 20));  // the comma
    EXPECT_NE(cell(words, line, 0, 20), cell(plain, line, 0, 20));  // the a
    glyphtest::writePng(words, glyphtest::outputPath("line_words_inverted.png"));
}

TEST(DrawLine, LetterModeFollowsTheDensity) {
    SettingsScope scope;
    Line line("Quill, ink.");
    EXPECT_EQ(line.draw(20, 0, 0, 0, 1, 0.0).bytes, line.draw(20).bytes);
    EXPECT_EQ(line.draw(20, 0, 0, 0, 1, 1.0).bytes, line.draw(20, 0, 0, 1).bytes);
    EXPECT_EQ(line.draw(20, 0, 0, 0, 2, 0.0).bytes, line.draw(20).bytes);
}

TEST(DrawLine, RandomInversionDrawsOneNumberPerLetterFromTheLineSeed) {
    SettingsScope scope;
    glyph::glyphSettings().invertSeed = 17;
    Line line("abcd efgh");
    const Frame plain = line.draw(10);
    const Frame inverted = line.draw(10, 0, 0, 1);
    const Frame mixed = line.draw(10, 0, 0, 0, 1, 0.5);
    // srand(line 0 + seed 17), then one draw per character but the space.
    unsigned x = 17;
    int invertedCount = 0;
    for (int i = 0; i < line.length; ++i) {
        if (line.lefts.size() <= static_cast<size_t>(i)) break;
        const char c = "abcd efgh"[i];
        if (c == ' ') continue;
        x = x * 214013u + 2531011u;
        const bool inv = ((x >> 16) & 0x7FFF) % 10000 * 0.0001 < 0.5;
        invertedCount += inv;
        EXPECT_EQ(cell(mixed, line, i, 10), cell(inv ? inverted : plain, line, i, 10))
            << "character " << i << (inv ? " inverted" : " upright");
    }
    EXPECT_GT(invertedCount, 0);
    EXPECT_LT(invertedCount, 8);
    // Nothing else drew from the generator: it stands after the line's draws.
    x = x * 214013u + 2531011u;
    EXPECT_EQ(crt::rand(), static_cast<int>((x >> 16) & 0x7FFF));
}

TEST(DrawLine, WordModeDrawsOncePerWord) {
    SettingsScope scope;
    glyph::glyphSettings().invertSeed = 3;
    // (A period would end the line here: Arial draws it as a plain square,
    // which goes through the text fallback.)
    Line line("ab cd,ef");
    line.draw(10, 0, 0, 0, 2, 0.5);
    // Words ab, cd and ef: three draws after srand(0 + 3).
    unsigned x = 3;
    for (int k = 0; k < 4; ++k) x = x * 214013u + 2531011u;
    EXPECT_EQ(crt::rand(), static_cast<int>((x >> 16) & 0x7FFF));
}

TEST(DrawLine, ATabInvertsTheCharacterAfterIt) {
    SettingsScope scope;
    Line line("\tword");
    const Frame tab = line.draw(10, 0, 1);
    const Frame plain = line.draw(10);
    const Frame all = line.draw(10, 0, 0, 1);
    EXPECT_EQ(cell(tab, line, 1, 10), cell(all, line, 1, 10));  // w
    for (int i = 2; i < 5; ++i) EXPECT_EQ(cell(tab, line, i, 10), cell(plain, line, i, 10)) << i;
    // The tab moved the word to the first stop.
    EXPECT_EQ(line.lefts[1], 50);
}

TEST(DrawLine, SkippingTwoCharactersStartsTheThirdAtX) {
    SettingsScope scope;
    Line line("WAVES");
    Line rest("VES");
    const float skip = static_cast<float>(line.advances[0] + line.advances[1]);
    const Frame scrolled = line.draw(100, skip);
    const Frame fresh = rest.draw(100);
    // The second character is drawn again, hidden left of x: from x on the
    // line is the line that starts with its third character.
    EXPECT_EQ(columns(scrolled, 100 + 2, kW), columns(fresh, 100 + 2, kW));
    // Left of x only the A can show (its right edge), never the W.
    EXPECT_EQ(columns(scrolled, 0, 100 - line.advances[1]), columns(Frame(kW, kH), 0, 100 - line.advances[1]));
    EXPECT_GT(columns(scrolled, 0, 100) != columns(Frame(kW, kH), 0, 100), false);
}

TEST(DrawLine, ANegativeSkipDrawsFromTheFirstCharacter) {
    SettingsScope scope;
    Line line("abc");
    EXPECT_EQ(line.draw(30, -25.0f).bytes, line.draw(30).bytes);
}

TEST(DrawLine, CharScaleTwoDoublesSizeAndSpacing) {
    SettingsScope scope;
    glyph::glyphSettings().highQuality = true;
    glyph::glyphSettings().oversampling = 4;
    glyph::buildNibbleCountTable();
    Line line("HH", 30);
    const Frame one = line.draw(10);
    glyph::glyphSettings().charScale = 2.0f;
    const Frame two = line.draw(10);
    int l1, t1, r1, b1, l2, t2, r2, b2;
    ASSERT_TRUE(one.inkBox(l1, t1, r1, b1));
    ASSERT_TRUE(two.inkBox(l2, t2, r2, b2));
    EXPECT_NEAR((r2 - l2 + 1) / double(r1 - l1 + 1), 2.0, 0.15);
    EXPECT_NEAR((b2 - t2 + 1) / double(b1 - t1 + 1), 2.0, 0.15);
    glyphtest::writePng(two, glyphtest::outputPath("line_charscale2.png"));
}

TEST(DrawLine, ScaleWithoutMoveKeepsTheSpacing) {
    SettingsScope scope;
    glyph::glyphSettings().highQuality = true;
    glyph::glyphSettings().oversampling = 4;
    glyph::buildNibbleCountTable();
    Line line("HxH", 30);
    glyph::JitterSettings& j = glyph::glyphSettings().jitter;
    j.scaleType = 4;  // wave with phase 0: 1 + value x 0.1
    j.scaleValue = 5.0f;
    j.scaleWithoutMove = 1;
    const Frame kept = line.draw(10);
    j.scaleType = 1;
    const Frame plain = line.draw(10);
    EXPECT_GT(kept.alphaSum(), plain.alphaSum() * 1.8);
    // The letters grew in place: the last H starts where it did.
    int l1, t1, r1, b1, l2, t2, r2, b2;
    ASSERT_TRUE(plain.inkBox(l1, t1, r1, b1));
    ASSERT_TRUE(kept.inkBox(l2, t2, r2, b2));
    EXPECT_NEAR(l1, l2, 2);
}

TEST(DrawLine, TheLineGoesOnAfterAFallbackCharacter) {
    SettingsScope scope;
    // The hyphen has no usable outline and goes through the text fallback;
    // the letters after it must still be drawn.
    Line line("ab-cd");
    const Frame f = line.draw(10);
    int l, t, r, b;
    ASSERT_TRUE(f.inkBox(l, t, r, b));
    EXPECT_GT(r, 10 + line.lefts[4]);
    // What lies right of the hyphen is about as much ink as "cd" alone.
    int64_t tail = 0;
    const std::vector<uint8_t> after = columns(f, 10 + line.lefts[3], kW);
    for (size_t k = 0; k < after.size(); k += 4) tail += after[k];
    Line cd("cd");
    const int64_t alone = cd.draw(10).alphaSum();
    EXPECT_NEAR(static_cast<double>(tail), static_cast<double>(alone), alone * 0.2);
}

TEST(DrawLine, ATurnedFallbackCharacterTurnsInItsOwnCell) {
    SettingsScope scope;
    // Blanks draw nothing and make the line wide: an l turned about the
    // middle of the line would swing far off its place.
    Line line("            l");
    glyph::JitterSettings& j = glyph::glyphSettings().jitter;
    // Running rotation: sin(index x frequency x 0.1) is 1 for the l, index 12.
    j.rotationType = 6;
    j.rotationAmount = 30.0f;
    j.frequency = 1.3089969f;
    const Frame f = line.draw(10);
    Line upright("l");
    const Frame alone = upright.draw(10 + line.lefts[12]);
    ASSERT_GT(alone.alphaSum(), 0);
    EXPECT_GT(f.alphaSum(), alone.alphaSum() * 3 / 4);
    EXPECT_NEAR(f.centreX(), alone.centreX(), 6.0);
    EXPECT_NEAR(f.centreY(), alone.centreY(), 6.0);
}

TEST(DrawLine, ARevealOpacityUncoversTheLineFromTheLeft) {
    SettingsScope scope;
    Line line("MMMMMM");
    const Frame half = line.draw(20, 0, 0, 0, 0, 0.0, -0.5f);
    const Frame whole = line.draw(20, 0, 0, 0, 0, 0.0, -1.0f);
    EXPECT_EQ(whole.bytes, line.draw(20).bytes);
    int l, t, r, b;
    ASSERT_TRUE(half.inkBox(l, t, r, b));
    EXPECT_LE(r, 20 + line.entry.width / 2);
    EXPECT_GT(r, 20 + line.entry.width / 2 - line.advances[0] - 2);
    EXPECT_EQ(line.draw(20, 0, 0, 0, 0, 0.0, -0.0001f).alphaSum(), 0);
}

TEST(DrawLine, JittersFollowEachCharacter) {
    SettingsScope scope;
    Line line("wave");
    glyph::JitterSettings& j = glyph::glyphSettings().jitter;
    j.offsetType = 6;  // chaos wave: a different height per character
    j.offsetValue = 3.0f;
    j.frequency = 10.0f;
    const Frame waved = line.draw(20);
    j.offsetType = 1;
    const Frame plain = line.draw(20);
    EXPECT_NE(waved.bytes, plain.bytes);
    EXPECT_NEAR(waved.alphaSum(), plain.alphaSum(), plain.alphaSum() * 0.05);
    glyphtest::writePng(waved, glyphtest::outputPath("line_chaos_wave.png"));
}

TEST(DrawLine, NothingWithoutAWindowOrALine) {
    SettingsScope scope;
    Line line("abc");
    Frame f(kW, kH);
    glyph::drawLine(nullptr, kW, kH, kW, f.bytes.data(), 0, 10, 10, 0, 0, 0, 0, 0, 1, 1);
    glyph::drawLine(line.doc.hwnd(), kW, kH, kW, f.bytes.data(), 4, 10, 10, 0, 0, 0, 0, 0, 1, 1);
    glyph::drawLine(line.doc.hwnd(), kW, kH, kW - 1, f.bytes.data(), 0, 10, 10, 0, 0, 0, 0, 0, 1, 1);
    EXPECT_EQ(f.alphaSum(), 0);
    // Nonsense positions and skips draw what they can and no more.
    glyph::drawLine(line.doc.hwnd(), kW, kH, kW, f.bytes.data(), -1, 10, 10, 0, 0, 0, 0, 0, 1, 1);
    glyph::drawLine(line.doc.hwnd(), kW, kH, kW, f.bytes.data(), 0, 10, 10, 1e30f, 0, 0, 0, 0, 1, 1);
    EXPECT_EQ(f.alphaSum(), 0);
    glyph::drawLine(line.doc.hwnd(), kW, kH, kW, f.bytes.data(), 0, std::nanf(""), 1e20f,
                    std::nanf(""), 1, 1, 2, 2.0, -5.0f, std::nanf(""));
    glyph::glyphSettings().lineTable = nullptr;  // no line record: width and height 0
    glyph::drawLine(line.doc.hwnd(), kW, kH, kW, f.bytes.data(), 0, 10, 10, 0, 0, 0, 0, 0, 1, 1);
    // Even without a window the line's seed is set.
    glyph::glyphSettings().invertSeed = 40;
    glyph::drawLine(nullptr, kW, kH, kW, f.bytes.data(), 2, 10, 10, 0, 0, 0, 0, 0, 1, 1);
    unsigned x = 42u * 214013u + 2531011u;
    EXPECT_EQ(crt::rand(), static_cast<int>((x >> 16) & 0x7FFF));
}

TEST(DrawLine, APhraseLooksTheSameOnEveryPath) {
    int64_t ink[3] = {0, 0, 0};
    for (int path = 0; path < 3; ++path) {
        SettingsScope scope;
        glyph::glyphSettings().highQuality = path > 0;
        glyph::glyphSettings().oversampling = path == 2 ? 8 : 4;
        glyph::buildNibbleCountTable();
        // A serif face: Arial's l is a plain rectangle, and the line would
        // end at the first one.
        Line line("Vellomarchen Quillarine", 26, "Liberation Serif");
        const Frame f = line.draw(6.4f);
        ink[path] = f.alphaSum();
        int l, t, r, b;
        ASSERT_TRUE(f.inkBox(l, t, r, b));
        EXPECT_NEAR(l, 7, 2);
        EXPECT_NEAR(r, 6 + line.entry.width, 3);
        static const char* names[] = {"direct", "4x", "8x"};
        glyphtest::writePng(f, glyphtest::outputPath(std::string("line_phrase_") + names[path] + ".png"));
    }
    // Every fill is stroked with a one-sample pen too: a whole pixel on the
    // direct path, a quarter at 4x, an eighth at 8x. Thin strokes of a small
    // serif face show it.
    EXPECT_GE(ink[1], ink[2]);
    EXPECT_LE(ink[1], ink[2] * 1.3);
    EXPECT_GE(ink[0], ink[1]);
    EXPECT_LE(ink[0], ink[2] * 1.8);
}

// Every jitter type on one line each, for a look at the picture; the ink
// stays of the same order as the plain line's.
TEST(DrawLine, EveryJitterTypeDrawsTheLine) {
    SettingsScope scope;
    glyph::glyphSettings().highQuality = true;
    glyph::glyphSettings().oversampling = 8;
    glyph::buildNibbleCountTable();
    glyph::JitterSettings& j = glyph::glyphSettings().jitter;
    j.frameIndex = 12;
    j.speed = 0.3f;
    j.frequency = 4.0f;
    j.seed = 5;
    const char* text = "Quendrasil Vellomarchen";
    const int rows = 1 + 5 + 5 + 5 + 5;
    Frame gallery(kW, 40 * rows);
    std::vector<glyph::LineEntry> table;
    Line line(text, 26, "Liberation Serif");
    table.assign(rows, line.entry);
    glyph::glyphSettings().lineTable = table.data();
    glyph::glyphSettings().lineCount = rows;
    int64_t plain = 0;
    int row = 0;
    auto drawRow = [&](const char* what) {
        Frame f(kW, kH);
        glyph::drawLine(line.doc.hwnd(), kW, kH, kW, f.bytes.data(), 0, 5.0f, 10.0f, 0, 0, 0, 0,
                        0.0, 1.0f, 1.0f);
        if (row == 0) plain = f.alphaSum();
        EXPECT_GT(f.alphaSum(), plain / 3) << what;
        EXPECT_LT(f.alphaSum(), plain * 3) << what;
        for (int y = 0; y < 40; ++y)
            std::memcpy(gallery.at(0, row * 40 + y), f.at(0, y + 8), 4 * kW);
        ++row;
    };
    drawRow("plain");
    for (int t = 2; t <= 6; ++t) {
        j.offsetType = t;
        j.offsetValue = 1.0f;
        drawRow("offset");
    }
    j.offsetType = 1;
    for (int t = 2; t <= 6; ++t) {
        j.rotationType = t;
        j.rotationAmount = 25.0f;
        drawRow("rotation");
    }
    j.rotationType = 1;
    for (int t = 2; t <= 6; ++t) {
        j.colorType = t;
        j.colorValue = 200.0f;
        drawRow("colour");
    }
    j.colorType = 1;
    for (int t = 2; t <= 6; ++t) {
        j.scaleType = t;
        j.scaleValue = 3.0f;
        drawRow("scale");
    }
    glyphtest::writePng(gallery, glyphtest::outputPath("line_jitters.png"));
}

TEST(DrawLine, ReleasesEverythingItCreates) {
    SettingsScope scope;
    Line line("Tab\tand-fallback");
    const DWORD live = ZolGdiLiveObjects();
    for (int k = 0; k < 5; ++k) line.draw(10, k * 7.0f, k & 1, 0, k % 3, 0.5);
    EXPECT_EQ(ZolGdiLiveObjects(), live);
}

}  // namespace
