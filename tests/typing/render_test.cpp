// Frames of "ZOL Quillarine" rendered by the host core through the real
// plug-in and library: what the user sees for the first effect types.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "host/core/handles.h"
#include "host/core/session.h"
#include "platform/win/testhooks.h"
#include "tests/glyph/support.h"

namespace {

using glyphtest::Frame;

// What the library lays text out with: "Arial" 10 point is 13 pixels.
constexpr char kThreeParagraphs[] =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue255;\\red0\\green160\\blue0;}"
    "\\pard\\f0\\fs40\\cf1 Left words\\par"
    "\\pard\\qc\\fs40\\cf2 Centre\\par"
    "\\pard\\qr\\fs40\\cf1 Right\\par}";

class TypingRender {
public:
    explicit TypingRender(int width = 320, int height = 120, int duration = 30) {
        zolhost::Composition comp;
        comp.width = width;
        comp.height = height;
        comp.duration = duration;
        session_ = zolhost::newSession("typing", comp);
    }

    zolhost::Instance& instance() { return *session_->instance; }
    void set(const std::vector<std::string>& assignments) { zolhost::applyAssignments(*session_, assignments); }

    // Replaces the instance's text as the edit command would leave it.
    void setText(const std::string& text) {
        std::vector<uint8_t> old;
        ASSERT_EQ(instance().flatten(old), PF_Err_NONE);
        std::vector<uint8_t> record(24 + text.size(), 0);
        const int32_t n = static_cast<int32_t>(text.size());
        std::memcpy(record.data(), &n, 4);
        std::memcpy(record.data() + 24, text.data(), text.size());
        ASSERT_EQ(instance().resetup(zolhost::handles::newHostHandle(record)), PF_Err_NONE);
    }

    // One frame; the world starts filled with garbage, which the effect
    // must clear.
    Frame frame(int k, bool half = false, PF_Quality quality = PF_Quality_HI, const PF_LayerDef* input = nullptr) {
        const zolhost::Composition& c = instance().composition();
        const int w = half ? c.width / 2 : c.width, h = half ? c.height / 2 : c.height;
        Frame f(w, h);
        std::fill(f.bytes.begin(), f.bytes.end(), uint8_t{0xCD});
        PF_LayerDef world{w, h, w * 4, reinterpret_cast<PF_Pixel*>(f.bytes.data())};
        zolhost::CallOptions o;
        o.frame = k;
        o.quality = quality;
        if (half) o.downsampleX = o.downsampleY = PF_RationalScale{1, 2};
        o.output = &world;
        o.input = input;
        lastResult = instance().send(PF_Cmd_RENDER, o);
        return f;
    }

    int32_t recordField(size_t offset) {
        std::vector<uint8_t> b = zolhost::handles::bytes(instance().sequenceData());
        int32_t v = 0;
        if (b.size() >= offset + 4) std::memcpy(&v, b.data() + offset, 4);
        return v;
    }

    PF_Err lastResult = PF_Err_NONE;

private:
    std::unique_ptr<zolhost::Session> session_;
};

void save(const Frame& f, const std::string& name) { glyphtest::writePng(f, glyphtest::outputPath(name)); }

int inkTop(const Frame& f) {
    int l, t, r, b;
    return f.inkBox(l, t, r, b) ? t : -1;
}

// Mean red, green and blue of the inked pixels, weighted by alpha.
struct Tint {
    double r = 0, g = 0, b = 0;
};
Tint tintOf(const Frame& f) {
    Tint t;
    double w = 0;
    for (size_t i = 0; i < f.bytes.size(); i += 4) {
        const double a = f.bytes[i];
        w += a;
        t.r += a * f.bytes[i + 1];
        t.g += a * f.bytes[i + 2];
        t.b += a * f.bytes[i + 3];
    }
    if (w > 0) t = {t.r / w, t.g / w, t.b / w};
    return t;
}

// Columns [x0, x1) hold ink in rows [y0, y1).
bool inkIn(const Frame& f, int x0, int x1, int y0, int y1) {
    for (int y = std::max(0, y0); y < std::min(f.height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(f.width, x1); ++x)
            if (f.bytes[4 * (static_cast<size_t>(y) * f.pixelsPerRow + x)] != 0) return true;
    return false;
}

TEST(TypingRender, ANewInstanceShowsItsTextInRedAtTheTopLeft) {
    for (PF_Quality q : {PF_Quality_HI, PF_Quality_LO}) {
        TypingRender r;
        const Frame f = r.frame(0, false, q);
        save(f, q == PF_Quality_HI ? "new_instance_high.png" : "new_instance_draft.png");
        EXPECT_EQ(r.lastResult, PF_Err_NONE);
        int left, top, right, bottom;
        ASSERT_TRUE(f.inkBox(left, top, right, bottom));
        EXPECT_LE(left, 3);
        EXPECT_LE(top, 4);
        // Capitals and descenders of 13-pixel Arial, the whole 23 characters.
        EXPECT_GE(bottom - top, 9);
        EXPECT_LE(bottom - top, 16);
        EXPECT_GT(right, 120) << "the line ends early";
        EXPECT_LT(right, 200);
        const Tint t = tintOf(f);
        EXPECT_GT(t.r, 200);
        EXPECT_LT(t.g, 40);
        EXPECT_LT(t.b, 40);
        // The garbage the world started with is gone everywhere else.
        EXPECT_FALSE(inkIn(f, 0, f.width, 30, f.height));
    }
}

TEST(TypingRender, ScrollingByPhaseCrossesTheFrame) {
    TypingRender r;
    r.set({"Effect Type=Scrolling", "Scrolling Control=By Phase"});
    struct Row {
        const char* phase;
        int minTop, maxTop;  // -1: nothing visible
    };
    const Row rows[] = {{"0", -1, -1}, {"0.5", 45, 60}, {"0.1", 100, 110}, {"1", -1, -1}};
    for (const Row& row : rows) {
        r.set({std::string("Phase=") + row.phase});
        const Frame f = r.frame(0);
        const int top = inkTop(f);
        if (row.minTop < 0) {
            EXPECT_EQ(f.alphaSum(), 0) << "phase " << row.phase;
        } else {
            EXPECT_GE(top, row.minTop) << "phase " << row.phase;
            EXPECT_LE(top, row.maxTop) << "phase " << row.phase;
        }
    }
}

TEST(TypingRender, ScrollingBySpeedMovesByTheSpeedsOfTheEarlierFrames) {
    TypingRender r(320, 120, 40);
    r.set({"Effect Type=Scrolling", "Scrolling Control=By Speed", "Speed (Pixs/Frame)=4"});
    const Frame first = r.frame(0);
    EXPECT_EQ(first.alphaSum(), 0) << "frame 0 has travelled nothing: the text sits below the frame";
    const int at10 = inkTop(r.frame(10));
    const int at20 = inkTop(r.frame(20));
    ASSERT_GE(at10, 0);
    ASSERT_GE(at20, 0);
    EXPECT_EQ(at10 - at20, 40);

    // Keyframed: 0 at frame 0 rising to 10 at frame 10, then 10. Frames
    // 0..9 add 0+1+...+9 = 45, frame 10 adds 10.
    r.set({"Speed (Pixs/Frame)@0=0", "Speed (Pixs/Frame)@10=10"});
    const int k10 = inkTop(r.frame(10));
    const int k11 = inkTop(r.frame(11));
    EXPECT_EQ(at10 - k10, 45 - 40);
    EXPECT_EQ(k10 - k11, 10);

    // A negative distance stays at the start, a huge one leaves nothing.
    r.set({"Speed (Pixs/Frame)=-5"});
    EXPECT_EQ(r.frame(12).alphaSum(), 0);
    r.set({"Speed (Pixs/Frame)=100"});
    EXPECT_EQ(r.frame(30).alphaSum(), 0);
}

TEST(TypingRender, HalfResolutionGivesTheSamePictureAtHalfSize) {
    TypingRender r(400, 160);
    r.setText(kThreeParagraphs);
    const Frame full = r.frame(0);
    const Frame half = r.frame(0, true);
    save(full, "three_full.png");
    save(half, "three_half.png");
    ASSERT_EQ(half.width, 200);
    ASSERT_EQ(half.height, 80);
    // Downscale the full frame by two and compare it with the half frame,
    // both softened by a 3 x 3 box: the half frame places glyphs on its own
    // pixel grid and rounds advances at its own size, so single pixels
    // differ while the picture is the same.
    auto soften = [](const std::vector<double>& a, int w, int h) {
        std::vector<double> out(a.size(), 0.0);
        for (int y = 1; y + 1 < h; ++y)
            for (int x = 1; x + 1 < w; ++x) {
                double s = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) s += a[static_cast<size_t>(y + dy) * w + x + dx];
                out[static_cast<size_t>(y) * w + x] = s / 9;
            }
        return out;
    };
    std::vector<double> reduced(static_cast<size_t>(half.width) * half.height), small(reduced.size());
    for (int y = 0; y < half.height; ++y)
        for (int x = 0; x < half.width; ++x) {
            double a = 0;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx)
                    a += full.bytes[4 * (static_cast<size_t>(2 * y + dy) * full.width + 2 * x + dx)];
            reduced[static_cast<size_t>(y) * half.width + x] = a / 4;
            small[static_cast<size_t>(y) * half.width + x] = half.bytes[4 * (static_cast<size_t>(y) * half.width + x)];
        }
    reduced = soften(reduced, half.width, half.height);
    small = soften(small, half.width, half.height);
    double ink = 0, halfInk = 0;
    for (size_t i = 0; i < reduced.size(); ++i) ink += reduced[i], halfInk += small[i];
    ASSERT_GT(ink, 0);
    EXPECT_NEAR(halfInk / ink, 1.0, 0.15);
    double best = 1e30;
    for (int sy = -2; sy <= 2; ++sy)
        for (int sx = -2; sx <= 2; ++sx) {
            double diff = 0;
            for (int y = 2; y + 2 < half.height; ++y)
                for (int x = 2; x + 2 < half.width; ++x)
                    diff += std::abs(reduced[static_cast<size_t>(y + sy) * half.width + x + sx] -
                                     small[static_cast<size_t>(y) * half.width + x]);
            best = std::min(best, diff);
        }
    EXPECT_LT(best / ink, 0.4);
    EXPECT_NEAR(half.centreX() * 2, full.centreX(), 5);
    EXPECT_NEAR(half.centreY() * 2, full.centreY(), 5);
    std::cout << "half vs reduced full: " << best / ink << " of the ink, ink ratio " << halfInk / ink
              << ", centres " << half.centreX() * 2 << "," << half.centreY() * 2 << " vs " << full.centreX()
              << "," << full.centreY() << "\n";
}

TEST(TypingRender, AlignmentPlacesEachParagraph) {
    TypingRender r(400, 160);
    r.setText(kThreeParagraphs);
    const Frame f = r.frame(0);
    // 20-point lines are 26 or 27 pixels apart: left from 0, centre about
    // the middle, right ending at the right edge. Bands keep clear of the
    // neighbouring lines' ascenders and descenders.
    EXPECT_TRUE(inkIn(f, 0, 10, 5, 20));
    EXPECT_FALSE(inkIn(f, 150, 400, 5, 20));
    EXPECT_TRUE(inkIn(f, 150, 250, 32, 47));
    EXPECT_FALSE(inkIn(f, 0, 120, 32, 47));
    EXPECT_FALSE(inkIn(f, 280, 400, 32, 47));
    EXPECT_TRUE(inkIn(f, 385, 400, 59, 74));
    EXPECT_FALSE(inkIn(f, 0, 300, 59, 74));
}

TEST(TypingRender, FramesAreIndependentOfOrderAndRepetition) {
    TypingRender r(320, 120, 40);
    r.set({"Effect Type=Scrolling", "Scrolling Control=By Speed", "Speed (Pixs/Frame)=3",
           "Type of Offset Jitter=Chaos Jump", "Offset Value=3", "Random Invert=Apply to Letters"});
    const Frame alone = r.frame(17);
    for (int k = 0; k < 17; ++k) r.frame(k);
    const Frame inRange = r.frame(17);
    const Frame again = r.frame(17);
    EXPECT_GT(alone.alphaSum(), 0);
    EXPECT_EQ(alone.bytes, inRange.bytes);
    EXPECT_EQ(alone.bytes, again.bytes);
}

TEST(TypingRender, TheDocumentIsKeptUntilWidthOrWrapChange) {
    TypingRender r;
    r.set({"Effect Type=Scrolling", "Scrolling Control=By Phase", "Phase=0.5"});
    r.frame(0);
    const int32_t doc = r.recordField(12);
    EXPECT_NE(doc, 0);
    EXPECT_EQ(r.recordField(4), 320);
    EXPECT_EQ(r.recordField(8), 1);
    r.set({"Phase=0.6"});
    r.frame(0);
    EXPECT_EQ(r.recordField(12), doc) << "a phase change reuses the document";
    r.set({"Wrap=off"});
    r.frame(0);
    EXPECT_EQ(r.recordField(8), 0);
    r.frame(0, true);
    EXPECT_EQ(r.recordField(4), 160) << "a new output width lays the text out again";
}

TEST(TypingRender, StaticTextStopsAtTheBottomOfTheFrame) {
    TypingRender r(200, 60);
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs24 ";
    for (int i = 0; i < 30; ++i) rtf += "Line " + std::to_string(i) + "\\par ";
    rtf += "}";
    r.setText(rtf);
    const Frame f = r.frame(0);
    save(f, "static_many_lines.png");
    EXPECT_TRUE(inkIn(f, 0, 200, 50, 60)) << "the line cut by the bottom edge is drawn";
    EXPECT_TRUE(inkIn(f, 0, 200, 0, 10));
}

TEST(TypingRender, VerticalLineSetsOneCharacterPerLineAtAQuarterOfTheWidth) {
    TypingRender r(200, 400);
    r.set({"Effect Type=Vertical Line", "Scrolling Control=By Phase", "Phase=0.42"});
    r.setText("ABCDE");
    const Frame f = r.frame(0);
    save(f, "vertical_line.png");
    int left, top, right, bottom;
    ASSERT_TRUE(f.inkBox(left, top, right, bottom));
    EXPECT_GE(left, 48);
    EXPECT_LE(right, 50 + 14);
    // Five letters of 13-pixel text stacked: the column is 5 x 15 pixels
    // long, and at phase 0.42 of 400 + 75 it starts 200 pixels up.
    EXPECT_GT(top, 195);
    EXPECT_LT(top, 215);
    EXPECT_GT(bottom - top, 50);
    EXPECT_LT(bottom - top, 90);
}

TEST(TypingRender, AnUnwritableInterchangeFileShowsTheInputLayerAndWarns) {
    const std::filesystem::path file = std::filesystem::path(zolhost::pluginDirectory()) / "stream.tmp";
    std::filesystem::remove_all(file);
    std::filesystem::create_directory(file);  // a folder cannot be created as a file
    ZolClearMessageBoxes();
    TypingRender r(64, 32);
    std::vector<uint8_t> pixels(64 * 32 * 4, 0);
    for (size_t i = 0; i < pixels.size(); i += 4) pixels[i] = 255, pixels[i + 3] = 200;
    PF_LayerDef input{64, 32, 64 * 4, reinterpret_cast<PF_Pixel*>(pixels.data())};
    const Frame f = r.frame(0, false, PF_Quality_HI, &input);
    std::filesystem::remove_all(file);
    EXPECT_EQ(r.lastResult, PF_Err_NONE);
    EXPECT_EQ(f.bytes, pixels);
    ASSERT_EQ(ZolMessageBoxes().size(), 1u);
    EXPECT_EQ(ZolMessageBoxes()[0].caption, "Quillarine Break");
    EXPECT_EQ(ZolMessageBoxes()[0].text, "You have a problem with creation file 'stream.tmp' at After Effect's folder");
    // The next render, with the folder writable again, draws the text.
    EXPECT_GT(r.frame(0).alphaSum(), 0);
}

constexpr char kCentredHeadline[] =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green255\\blue255;}"
    "\\pard\\qc\\f0\\fs32\\cf1 Headline in the middle\\par"
    "\\pard\\ql\\tab After a tab, words, and more words.\\par}";

struct LookRow {
    const char* name;
    std::vector<std::string> assignments;
    double minInkRatio;  // ink against the plain frame
    double maxInkRatio;
};

// Every option changes the picture, keeps the text on the frame, and
// inversion adds the boxes around the letters.
TEST(TypingRender, InvertOptionsAndJittersChangeThePicture) {
    const LookRow rows[] = {
        {"invert_headline", {"Invert Headline=on"}, 1.2, 3},
        {"invert_paragraph", {"Invert Paragraph=on"}, 1.02, 1.2},
        {"invert_letters", {"Random Invert=Apply to Letters", "Invert Density=1"}, 1.5, 4},
        {"invert_words", {"Random Invert=Apply to Words", "Invert Density=0.5"}, 1.1, 4},
        {"offset_chaos_jump", {"Type of Offset Jitter=Chaos Jump", "Offset Value=2"}, 0.8, 1.25},
        {"offset_swing", {"Type of Offset Jitter=Swing", "Offset Value=2"}, 0.8, 1.25},
        {"offset_swing_vertical", {"Type of Offset Jitter=Swing Vertical", "Offset Value=2"}, 0.8, 1.25},
        {"offset_wave", {"Type of Offset Jitter=Wave", "Offset Value=2", "Frequency of Jitters=6"}, 0.8, 1.25},
        {"offset_chaos_wave", {"Type of Offset Jitter=Chaos Wave", "Offset Value=2"}, 0.8, 1.25},
        {"scale_chaos", {"Type of Scale Jitter=Chaos Scale", "Scale Value=1.5"}, 0.3, 4},
        {"scale_swing", {"Type of Scale Jitter=Swing", "Scale Value=1.5"}, 0.3, 4},
        {"scale_wave", {"Type of Scale Jitter=Wave", "Scale Value=1.5", "Frequency of Jitters=6"}, 0.3, 4},
        {"scale_chaos_wave", {"Type of Scale Jitter=Chaos Wave", "Scale Value=1.5"}, 0.3, 4},
        {"scale_running", {"Type of Scale Jitter=Running", "Scale Value=1.5", "Frequency of Jitters=6"}, 0.3, 4},
        {"color_chaos", {"Type of Color Jitter=Chaos Color", "Color Value=200"}, 0.8, 1.25},
        {"color_swing", {"Type of Color Jitter=Swing", "Color Value=200"}, 0.8, 1.25},
        {"color_wave", {"Type of Color Jitter=Wave", "Color Value=200", "Frequency of Jitters=6"}, 0.8, 1.25},
        {"color_chaos_wave", {"Type of Color Jitter=Chaos Wave", "Color Value=200"}, 0.8, 1.25},
        {"color_running", {"Type of Color Jitter=Running", "Color Value=200", "Frequency of Jitters=6"}, 0.8, 1.25},
        {"rotation_chaos", {"Type of Rotation Jitter=Chaos Rotate", "Rotation Amount=40"}, 0.7, 1.4},
        {"rotation_swing", {"Type of Rotation Jitter=Swing", "Rotation Amount=40"}, 0.7, 1.4},
        {"rotation_wave", {"Type of Rotation Jitter=Wave", "Rotation Amount=40", "Frequency of Jitters=6"}, 0.7, 1.4},
        {"rotation_chaos_wave", {"Type of Rotation Jitter=Chaos Wave", "Rotation Amount=40"}, 0.7, 1.4},
        {"rotation_running", {"Type of Rotation Jitter=Running", "Rotation Amount=40", "Frequency of Jitters=6"}, 0.7, 1.4},
    };
    TypingRender plainRender(480, 100);
    plainRender.setText(kCentredHeadline);
    const Frame plain = plainRender.frame(3);
    save(plain, "look_plain.png");
    ASSERT_GT(plain.alphaSum(), 0);
    for (const LookRow& row : rows) {
        TypingRender r(480, 100);
        r.setText(kCentredHeadline);
        r.set(row.assignments);
        const Frame f = r.frame(3);
        save(f, std::string("look_") + row.name + ".png");
        EXPECT_NE(f.bytes, plain.bytes) << row.name;
        const double ratio = static_cast<double>(f.alphaSum()) / static_cast<double>(plain.alphaSum());
        EXPECT_GE(ratio, row.minInkRatio) << row.name;
        EXPECT_LE(ratio, row.maxInkRatio) << row.name;
        EXPECT_NEAR(f.centreX(), plain.centreX(), 60) << row.name;
        EXPECT_NEAR(f.centreY(), plain.centreY(), 20) << row.name;
    }
}

}  // namespace
