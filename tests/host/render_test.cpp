// zolhost render and zolhost text end to end: what lands on disk, what is
// said on standard error, and what is left behind when something fails.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli_support.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// ---------------------------------------------------------------- helpers

const bool kHaveTyping = cli::havePlugin("typing");
const bool kHaveMorphing = cli::havePlugin("morphing");

#define REQUIRE_TYPING \
    if (!kHaveTyping) GTEST_SKIP() << "the typing plug-in is not part of this build"

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Standard output of a shell command, or nullopt when it failed.
std::optional<std::string> capture(const std::string& cmd) {
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return std::nullopt;
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int status = pclose(p);
    if (status != 0) return std::nullopt;
    return out;
}

bool haveFfmpeg() {
    static const bool have = capture("command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null").has_value();
    return have;
}

#define REQUIRE_FFMPEG \
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg and ffprobe are not installed"

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

// Decoded independently of the host, with libpng itself.
std::optional<Image> readPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
    image.format = PNG_FORMAT_RGBA;
    Image out;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return std::nullopt;
    }
    return out;
}

std::string makeProject(const std::string& dir, const std::string& effect, const std::string& size = "48x32",
                        int duration = 8) {
    std::string path = dir + "/project.json";
    cli::Result r = cli::run({"new", effect, "-o", path, "--size", size, "--duration", std::to_string(duration)});
    EXPECT_EQ(r.status, 0) << r.err;
    return path;
}

std::set<std::string> filesIn(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

struct Probe {
    int width = 0, height = 0, frames = -1;
    std::string pixFmt, alphaMode;
};

Probe probeVideo(const std::string& path) {
    Probe p;
    std::string cmd =
        "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
        "stream=width,height,nb_read_frames,pix_fmt:stream_tags=alpha_mode -of json ";
    cmd += quote(path);
    auto out = capture(cmd);
    if (!out) return p;
    json j = json::parse(*out, nullptr, false);
    if (j.is_discarded() || j["streams"].empty()) return p;
    const json& s = j["streams"][0];
    p.width = s.value("width", 0);
    p.height = s.value("height", 0);
    p.frames = std::stoi(s.value("nb_read_frames", std::string("-1")));
    p.pixFmt = s.value("pix_fmt", std::string());
    if (s.contains("tags")) p.alphaMode = s["tags"].value("alpha_mode", std::string());
    return p;
}

std::vector<uint8_t> bytesOf(std::initializer_list<int32_t> words, const std::string& tail) {
    std::vector<uint8_t> b;
    for (int32_t w : words)
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(w) >> (8 * i)));
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

// ---------------------------------------------------------------- stills

struct StillCase {
    const char* name;
    const char* size;
    std::vector<std::string> extra;
    int width, height;
};
void PrintTo(const StillCase& c, std::ostream* os) { *os << c.name; }

class Still : public ::testing::TestWithParam<StillCase> {};

TEST_P(Still, OnePngOfTheRenderSize) {
    REQUIRE_TYPING;
    const StillCase& c = GetParam();
    std::string dir = cli::workDir("still");
    std::string project = makeProject(dir, "typing", c.size);
    std::vector<std::string> args = {"render", project, "-o", dir + "/frame.png"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    cli::Result r = cli::run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    // Not a terminal: no bar, one summary line.
    EXPECT_EQ(cli::lines(r.err), 1) << r.err;
    EXPECT_EQ(r.err.rfind("rendered 1 frame in ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(dir + "/frame.png"), std::string::npos) << r.err;
    auto img = readPng(dir + "/frame.png");
    ASSERT_TRUE(img);
    EXPECT_EQ(img->width, c.width);
    EXPECT_EQ(img->height, c.height);
    // Only the project and the picture: no temporary left beside it.
    EXPECT_EQ(filesIn(dir), (std::set<std::string>{"project.json", "frame.png"}));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, Still,
    ::testing::Values(StillCase{"FullSize", "48x32", {}, 48, 32},
                      StillCase{"Half", "48x32", {"--half"}, 24, 16},
                      StillCase{"HalfOfOddSidesRoundsDown", "49x33", {"--half"}, 24, 16},
                      StillCase{"HalfNeverBelowOnePixel", "3x1", {"--half"}, 1, 1},
                      StillCase{"FirstFrameOfARange", "48x32", {"--frames", "2-5", "--quality", "draft"}, 48, 32}),
    [](const auto& info) { return std::string(info.param.name); });

// The typing effect's new instance shows its initial text in red at the top
// left. The picture must carry the effect's colours unchanged beside their
// coverage: red in the red channel, and partly covered pixels still full red
// (colours are not premultiplied).
TEST(StillPixels, ChannelsInOrderAndColoursNotPremultiplied) {
    REQUIRE_TYPING;
    std::string dir = cli::workDir("pixels");
    std::string project = makeProject(dir, "typing", "320x180");
    ASSERT_EQ(cli::run({"render", project, "-o", dir + "/f.png"}).status, 0);
    auto img = readPng(dir + "/f.png");
    ASSERT_TRUE(img);
    int covered = 0, partial = 0, notRed = 0, bottomHalf = 0;
    for (int y = 0; y < img->height; ++y) {
        for (int x = 0; x < img->width; ++x) {
            const uint8_t* p = &img->rgba[(static_cast<size_t>(y) * img->width + x) * 4];
            if (p[3] == 0) continue;
            ++covered;
            partial += p[3] < 255;
            notRed += !(p[0] == 255 && p[1] == 0 && p[2] == 0);
            bottomHalf += y >= img->height / 2;
        }
    }
    EXPECT_GT(covered, 100);
    EXPECT_GT(partial, 0);
    EXPECT_EQ(notRed, 0);
    EXPECT_EQ(bottomHalf, 0);
}

// ---------------------------------------------------------------- sequences

struct SequenceCase {
    const char* name;
    const char* pattern;
    const char* frames;  // nullptr: the whole duration
    std::vector<std::string> expected;
};
void PrintTo(const SequenceCase& c, std::ostream* os) { *os << c.name; }

class Sequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(Sequence, OneFileNamedByItsFrameNumberPerFrame) {
    REQUIRE_TYPING;
    const SequenceCase& c = GetParam();
    std::string dir = cli::workDir("sequence");
    std::string project = makeProject(dir, "typing", "40x30", 6);
    std::vector<std::string> args = {"render", project, "-o", dir + "/" + c.pattern};
    if (c.frames) args.insert(args.end(), {"--frames", c.frames});
    cli::Result r = cli::run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(cli::lines(r.err), 1) << r.err;
    std::set<std::string> expected(c.expected.begin(), c.expected.end());
    expected.insert("project.json");
    EXPECT_EQ(filesIn(dir), expected);
    for (const auto& name : c.expected) {
        auto img = readPng(dir + "/" + name);
        ASSERT_TRUE(img) << name;
        EXPECT_EQ(img->width, 40);
        EXPECT_EQ(img->height, 30);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, Sequence,
    ::testing::Values(
        SequenceCase{"ZeroPadded", "out_%04d.png", "2-4", {"out_0002.png", "out_0003.png", "out_0004.png"}},
        SequenceCase{"Plain", "f%d.png", "4-5", {"f4.png", "f5.png"}},
        SequenceCase{"SingleFrame", "s_%03d.png", "5", {"s_005.png"}},
        SequenceCase{"WholeDurationByDefault",
                     "all-%d.png",
                     nullptr,
                     {"all-0.png", "all-1.png", "all-2.png", "all-3.png", "all-4.png", "all-5.png"}},
        SequenceCase{"PercentSignKept", "p%%_%02d.png", "0-1", {"p%_00.png", "p%_01.png"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- videos

struct VideoCase {
    const char* name;
    const char* file;
    const char* size;
    const char* frames;
    int width, height, count;
    bool alpha;
};
void PrintTo(const VideoCase& c, std::ostream* os) { *os << c.name; }

class Video : public ::testing::TestWithParam<VideoCase> {};

TEST_P(Video, EncodedByFfmpegWithEveryFrame) {
    REQUIRE_TYPING;
    REQUIRE_FFMPEG;
    const VideoCase& c = GetParam();
    std::string dir = cli::workDir("video");
    std::string project = makeProject(dir, "typing", c.size, 10);
    std::vector<std::string> args = {"render", project, "-o", dir + "/" + c.file};
    if (c.frames) args.insert(args.end(), {"--frames", c.frames});
    cli::Result r = cli::run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(cli::lines(r.err), 1) << r.err;
    EXPECT_EQ(filesIn(dir), (std::set<std::string>{"project.json", c.file}));
    Probe p = probeVideo(dir + "/" + c.file);
    EXPECT_EQ(p.frames, c.count);
    EXPECT_EQ(p.width, c.width);
    EXPECT_EQ(p.height, c.height);
    if (c.alpha) {
        EXPECT_TRUE(p.pixFmt.find('a') != std::string::npos || p.alphaMode == "1") << p.pixFmt;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, Video,
    ::testing::Values(VideoCase{"Mp4WholeDuration", "out.mp4", "48x32", nullptr, 48, 32, 10, false},
                      // 4:2:0 needs even sides: an odd composition is padded.
                      VideoCase{"Mp4OddSizePadded", "odd.mp4", "47x31", "3-7", 48, 32, 5, false},
                      VideoCase{"MovKeepsAlpha", "out.mov", "48x32", "0-3", 48, 32, 4, true},
                      VideoCase{"WebmKeepsAlpha", "out.webm", "48x32", "0-3", 48, 32, 4, true},
                      VideoCase{"Gif", "out.gif", "48x32", "2-4", 48, 32, 3, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- failures

struct FailureCase {
    const char* name;
    std::vector<std::string> args;  // after "render PROJECT"; {dir} is the test's folder
    const char* says;               // part of the one line on standard error
    std::vector<std::string> env = {};
    bool needsFfmpeg = false;  // ffmpeg must be installed for the case to mean what it says
};
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

std::vector<std::string> expand(const std::vector<std::string>& args, const std::string& dir) {
    std::vector<std::string> out;
    for (std::string a : args) {
        if (size_t at = a.find("{dir}"); at != std::string::npos) a.replace(at, 5, dir);
        out.push_back(a);
    }
    return out;
}

class Failure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(Failure, OneLineStatusOneAndNothingLeftBehind) {
    REQUIRE_TYPING;
    const FailureCase& c = GetParam();
    if (c.needsFfmpeg && !haveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    std::string dir = cli::workDir("failure");
    std::string project = makeProject(dir, "typing", "32x24", 8);
    cli::writeFile(dir + "/notafolder", "x");
    auto before = filesIn(dir);
    std::vector<std::string> args = {"render", project};
    auto rest = expand(c.args, dir);
    args.insert(args.end(), rest.begin(), rest.end());
    cli::Result r = cli::run(args, c.env);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(cli::lines(r.err), 1) << r.err;
    EXPECT_EQ(r.err.rfind("zolhost: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(filesIn(dir), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Failure,
    ::testing::Values(
        FailureCase{"MissingFolderPng", {"-o", "{dir}/nowhere/out.png"}, "does not exist"},
        FailureCase{"MissingFolderSequence", {"-o", "{dir}/nowhere/out_%03d.png"}, "does not exist"},
        FailureCase{"FileAsFolderMp4", {"-o", "{dir}/notafolder/out.mp4"}, "not a folder"},
        FailureCase{"OutputIsAFolder", {"-o", "{dir}"}, "cannot tell what to write"},
        FailureCase{"UnknownKind", {"-o", "{dir}/out.jpg"}, "cannot tell what to write"},
        FailureCase{"PatternNotPng", {"-o", "{dir}/out_%03d.mp4"}, "must end in .png"},
        FailureCase{"TwoNumbers", {"-o", "{dir}/out_%d_%d.png"}, "one frame number"},
        FailureCase{"FramesBackwards", {"-o", "{dir}/out.png", "--frames", "5-2"}, "ends before it starts"},
        FailureCase{"FramesPastTheEnd", {"-o", "{dir}/out.png", "--frames", "3-8"}, "last frame 7"},
        FailureCase{"FramesNotANumber", {"-o", "{dir}/out.png", "--frames", "x"}, "--frames must be"},
        FailureCase{"FramesOpenEnd", {"-o", "{dir}/out.png", "--frames", "2-"}, "--frames must be"},
        FailureCase{"FramesNegative", {"-o", "{dir}/out.png", "--frames", "-1"}, "--frames"},
        FailureCase{"FramesThreeParts", {"-o", "{dir}/out.png", "--frames", "1-2-3"}, "--frames must be"},
        FailureCase{"QualityUnknown", {"-o", "{dir}/out.png", "--quality", "best"}, "--quality"},
        FailureCase{"NoOutput", {}, "--output"},
        FailureCase{"FfmpegMissingForVideo", {"-o", "{dir}/out.mp4"}, "ffmpeg is not installed or not on PATH",
                    {"PATH=/nonexistent"}},
        FailureCase{"FfmpegMissingForInput", {"-o", "{dir}/out.png", "--input", "{dir}/notafolder"},
                    "ffmpeg is not installed or not on PATH", {"PATH=/nonexistent"}},
        FailureCase{"InputMissing", {"-o", "{dir}/out.png", "--input", "{dir}/none.png"}, "no such file"},
        FailureCase{"InputNotAPicture", {"-o", "{dir}/out.mp4", "--input", "{dir}/notafolder"},
                    "cannot decode the input", {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RenderFailure, MissingProjectIsOneLine) {
    std::string dir = cli::workDir("missing");
    cli::Result r = cli::run({"render", dir + "/none.json", "-o", dir + "/out.png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(cli::lines(r.err), 1) << r.err;
    EXPECT_NE(r.err.find("none.json"), std::string::npos) << r.err;
    EXPECT_TRUE(filesIn(dir).empty());
}

// A plug-in whose render fails: the error names it, and neither the file
// nor the temporary one ffmpeg was writing stays.
struct PluginFailureCase {
    const char* name;
    const char* output;
    bool needsFfmpeg;
};
void PrintTo(const PluginFailureCase& c, std::ostream* os) { *os << c.name; }

class PluginFailure : public ::testing::TestWithParam<PluginFailureCase> {};

TEST_P(PluginFailure, RenderErrorLeavesNoFile) {
    if (GetParam().needsFfmpeg && !haveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    std::string dir = cli::workDir("plugin_failure");
    std::string project = dir + "/probe.json";
    ASSERT_EQ(cli::run({"new", ZOL_PROBE_PLUGIN, "-o", project, "--size", "16x16", "--duration", "4"}).status, 0);
    auto before = filesIn(dir);
    cli::Result r = cli::run({"render", project, "-o", dir + "/" + GetParam().output}, {"PROBE_FAIL=11"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(cli::lines(r.err), 1) << r.err;
    EXPECT_NE(r.err.find("render of frame 0 failed"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("probe told to fail"), std::string::npos) << r.err;
    EXPECT_EQ(filesIn(dir), before);
}

INSTANTIATE_TEST_SUITE_P(Outputs, PluginFailure,
                         ::testing::Values(PluginFailureCase{"Png", "out.png", false},
                                           PluginFailureCase{"Sequence", "out_%d.png", false},
                                           PluginFailureCase{"Mp4", "out.mp4", true},
                                           PluginFailureCase{"Webm", "out.webm", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The probe checks every in_data it gets: a half-size render with an input
// layer must still hand it a complete one.
TEST(RenderProbe, HalfSizeWithAnInputLayerGetsCompleteInData) {
    REQUIRE_FFMPEG;
    std::string dir = cli::workDir("probe_half");
    std::string project = dir + "/probe.json";
    ASSERT_EQ(cli::run({"new", ZOL_PROBE_PLUGIN, "-o", project, "--size", "20x10", "--duration", "3"}).status, 0);
    std::string make = "ffmpeg -v error -y -f lavfi -i testsrc=s=64x48:d=0.1:r=30 ";
    make += quote(dir + "/in.mp4");
    ASSERT_TRUE(capture(make));
    cli::Result r = cli::run({"render", project, "-o", dir + "/o_%d.png", "--half", "--input", dir + "/in.mp4"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (int f = 0; f < 3; ++f) {
        auto img = readPng(dir + "/o_" + std::to_string(f) + ".png");
        ASSERT_TRUE(img);
        EXPECT_EQ(img->width, 10);
        EXPECT_EQ(img->height, 5);
    }
}

// ---------------------------------------------------------------- input layer

// The typing effect shows its input layer only when it cannot write its
// interchange file: in a plug-in folder of the test's own, where
// "stream.tmp" is a folder, every frame is the input layer as the host
// handed it.
class InputLayer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!kHaveTyping) GTEST_SKIP() << "the typing plug-in is not part of this build";
        if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
        dir_ = cli::workDir("input");
        plugins_ = dir_ + "/plugins";
        fs::create_directories(plugins_ + "/stream.tmp");
        for (const char* f : {"ZOLQuillarine.AEX", "ZOLQuillarine.DLL", "libzolplatform.so"})
            fs::copy_file(fs::path(ZOL_BUILD_PLUGIN_DIR) / f, fs::path(plugins_) / f);
        project_ = dir_ + "/project.json";
        cli::Result r = run({"new", "typing", "-o", project_, "--size", "32x24", "--duration", "10"});
        ASSERT_EQ(r.status, 0) << r.err;
    }

    cli::Result run(const std::vector<std::string>& args) { return cli::run(args, {"ZOL_PLUGIN_DIR=" + plugins_}); }

    // Makes a test picture or video with ffmpeg's test source.
    std::string source(const std::string& name, const std::string& lavfi, const std::string& extra = "") {
        std::string path = dir_ + "/" + name;
        std::string cmd = "ffmpeg -v error -y -f lavfi -i ";
        cmd += quote(lavfi);
        cmd += " ";
        cmd += extra;
        cmd += " ";
        cmd += quote(path);
        EXPECT_TRUE(capture(cmd)) << cmd;
        return path;
    }

    Image render(const std::string& input, const std::string& frames, int frame) {
        std::string out = dir_ + "/r" + std::to_string(counter_++) + "_%d.png";
        cli::Result r = run({"render", project_, "-o", out, "--frames", frames, "--input", input});
        EXPECT_EQ(r.status, 0) << r.err;
        std::string file = dir_ + "/r" + std::to_string(counter_ - 1) + "_" + std::to_string(frame) + ".png";
        auto img = readPng(file);
        EXPECT_TRUE(img) << file;
        return img.value_or(Image{});
    }

    std::string dir_, plugins_, project_;
    int counter_ = 0;
};

bool opaque(const Image& img) {
    if (img.rgba.empty()) return false;
    for (size_t i = 3; i < img.rgba.size(); i += 4)
        if (img.rgba[i] != 255) return false;
    return true;
}

TEST_F(InputLayer, VideoFramesFollowTheCompositionAndTheLastOneHolds) {
    // Six frames at the composition's rate, each one different.
    std::string video = source("in.mp4", "testsrc=s=64x48:r=30:d=0.2");
    Image first = render(video, "0-9", 0);
    Image third = render(video, "0-9", 3);
    Image fifth = render(video, "0-9", 5);
    Image eighth = render(video, "0-9", 8);
    EXPECT_EQ(first.width, 32);
    EXPECT_EQ(first.height, 24);
    EXPECT_TRUE(opaque(first));
    EXPECT_NE(first.rgba, third.rgba);
    EXPECT_NE(third.rgba, fifth.rgba);
    // Past its end the video holds its last frame.
    EXPECT_EQ(eighth.rgba, fifth.rgba);
    // A range that starts later still sees the video's frame of that time.
    EXPECT_EQ(render(video, "3-4", 3).rgba, third.rgba);
    EXPECT_EQ(render(video, "8", 8).rgba, fifth.rgba);
}

TEST_F(InputLayer, StillImageOnEveryFrameScaledToTheRenderSize) {
    std::string still = source("in.png", "testsrc=s=64x48", "-frames:v 1");
    Image a = render(still, "0-9", 0);
    Image b = render(still, "0-9", 9);
    EXPECT_TRUE(opaque(a));
    EXPECT_EQ(a.rgba, b.rgba);
    cli::Result r = run({"render", project_, "-o", dir_ + "/half.png", "--half", "--input", still});
    ASSERT_EQ(r.status, 0) << r.err;
    auto half = readPng(dir_ + "/half.png");
    ASSERT_TRUE(half);
    EXPECT_EQ(half->width, 16);
    EXPECT_EQ(half->height, 12);
    EXPECT_TRUE(opaque(*half));
}

// ---------------------------------------------------------------- independence

// Frames depend on the time only: a frame rendered alone, again, or as part
// of a range has the same bytes.
struct IndependenceCase {
    const char* name;
    std::vector<std::string> assignments;
    std::vector<std::string> extra;
    bool moves;
};
void PrintTo(const IndependenceCase& c, std::ostream* os) { *os << c.name; }

class Independence : public ::testing::TestWithParam<IndependenceCase> {};

TEST_P(Independence, FrameAloneTwiceAndInARangeAreTheSame) {
    REQUIRE_TYPING;
    const IndependenceCase& c = GetParam();
    std::string dir = cli::workDir("independence");
    std::string project = makeProject(dir, "typing", "96x54", 12);
    if (!c.assignments.empty()) {
        std::vector<std::string> set = {"set", project};
        set.insert(set.end(), c.assignments.begin(), c.assignments.end());
        ASSERT_EQ(cli::run(set).status, 0);
    }
    auto render = [&](const std::string& out, const std::string& frames) {
        std::vector<std::string> args = {"render", project, "-o", dir + "/" + out, "--frames", frames};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        cli::Result r = cli::run(args);
        EXPECT_EQ(r.status, 0) << r.err;
    };
    render("alone.png", "7");
    render("again.png", "7");
    render("seq_%02d.png", "3-9");
    auto alone = readPng(dir + "/alone.png");
    auto again = readPng(dir + "/again.png");
    auto inRange = readPng(dir + "/seq_07.png");
    auto earlier = readPng(dir + "/seq_03.png");
    ASSERT_TRUE(alone && again && inRange && earlier);
    EXPECT_EQ(alone->rgba, again->rgba);
    EXPECT_EQ(alone->rgba, inRange->rgba);
    // Where the text moves, another frame differs: the comparison above is
    // not between two empty pictures.
    if (c.moves) {
        EXPECT_NE(alone->rgba, earlier->rgba);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, Independence,
    ::testing::Values(IndependenceCase{"Defaults", {}, {}, false},
                      // Fast enough to move a whole pixel between frames at half size.
                      IndependenceCase{"ScrollingBySpeedHalf",
                                       {"Effect Type=Scrolling", "Speed (Pixs/Frame)=4"},
                                       {"--half"},
                                       true},
                      IndependenceCase{"ScrollingByPhaseDraft",
                                       {"Effect Type=Scrolling", "Scrolling Control=By Phase", "Phase@0=0",
                                        "Phase@11=1"},
                                       {"--quality", "draft"},
                                       true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- zolhost text

TEST(Text, TypingRecordTakesTheFileAndDropsItsCache) {
    REQUIRE_TYPING;
    std::string dir = cli::workDir("text_typing");
    std::string project = makeProject(dir, "typing");
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs40 Line one\\par Line two}";
    cli::writeFile(dir + "/t.rtf", rtf);
    cli::Result r = cli::run({"text", project, dir + "/t.rtf"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    auto bytes = cli::sequenceData(project);
    EXPECT_EQ(bytes, bytesOf({static_cast<int32_t>(rtf.size()), 0, 0, 0, 0, 0}, rtf));
    // The new text renders.
    r = cli::run({"render", project, "-o", dir + "/t.png"});
    EXPECT_EQ(r.status, 0) << r.err;
}

struct MorphTextCase {
    const char* name;
    bool first, second;  // which texts are given
    std::string expectFirst, expectSecond;
};
void PrintTo(const MorphTextCase& c, std::ostream* os) { *os << c.name; }

class MorphText : public ::testing::TestWithParam<MorphTextCase> {};

TEST_P(MorphText, SecondTextThroughItsOption) {
    if (!kHaveMorphing) GTEST_SKIP() << "the morphing plug-in is not part of this build";
    const MorphTextCase& c = GetParam();
    std::string dir = cli::workDir("text_morph");
    std::string project = makeProject(dir, "morphing");
    auto before = cli::sequenceData(project);
    ASSERT_GE(before.size(), 12u);
    cli::writeFile(dir + "/a.txt", "Alpha text");
    cli::writeFile(dir + "/b.txt", "Second one!");
    std::vector<std::string> args = {"text", project, dir + "/a.txt"};
    if (c.second) args.insert(args.end(), {"--second", dir + "/b.txt"});
    ASSERT_EQ(cli::run(args).status, 0);
    auto after = cli::sequenceData(project);
    EXPECT_EQ(after, bytesOf({static_cast<int32_t>(c.expectFirst.size()),
                              static_cast<int32_t>(c.expectSecond.size()), 0},
                             c.expectFirst + c.expectSecond));
}

INSTANTIATE_TEST_SUITE_P(Texts, MorphText,
                         ::testing::Values(MorphTextCase{"BothTexts", true, true, "Alpha text", "Second one!"},
                                           // The new record's own second text stays.
                                           MorphTextCase{"FirstOnly", true, false, "Alpha text",
                                                         "Vellomarchen Quillarine"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct TextFailureCase {
    const char* name;
    const char* effect;
    std::vector<std::string> args;  // after "text PROJECT"
    const char* says;
};
void PrintTo(const TextFailureCase& c, std::ostream* os) { *os << c.name; }

class TextFailure : public ::testing::TestWithParam<TextFailureCase> {};

TEST_P(TextFailure, OneLineAndTheProjectUnchanged) {
    const TextFailureCase& c = GetParam();
    std::string effect = c.effect;
    if ((effect == "typing" && !kHaveTyping) || (effect == "morphing" && !kHaveMorphing))
        GTEST_SKIP() << "the plug-in is not part of this build";
    std::string dir = cli::workDir("text_failure");
    std::string project = effect == "probe" ? dir + "/project.json" : makeProject(dir, effect);
    if (effect == "probe") {
        ASSERT_EQ(cli::run({"new", ZOL_PROBE_PLUGIN, "-o", project}).status, 0);
    }
    cli::writeFile(dir + "/a.txt", "text");
    std::string saved = cli::readFile(project);
    std::vector<std::string> args = {"text", project};
    auto rest = expand(c.args, dir);
    args.insert(args.end(), rest.begin(), rest.end());
    cli::Result r = cli::run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(cli::lines(r.err), 1) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(cli::readFile(project), saved);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextFailure,
    ::testing::Values(TextFailureCase{"MissingFile", "typing", {"{dir}/none.rtf"}, "no such file"},
                      TextFailureCase{"SecondForTyping", "typing", {"{dir}/a.txt", "--second", "{dir}/a.txt"},
                                      "--second is for the morphing effect"},
                      TextFailureCase{"MissingSecond", "morphing", {"{dir}/a.txt", "--second", "{dir}/none"},
                                      "no such file"},
                      TextFailureCase{"EffectWithoutText", "probe", {"{dir}/a.txt"}, "keeps no text"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
