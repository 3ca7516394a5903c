// zolhost end to end: the command line's contract, run against the real
// plug-ins from the build's plug-in folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include <nlohmann/json.hpp>

#include "cli_support.h"

using nlohmann::json;

namespace {

// ---------------------------------------------------------------- helpers

#define REQUIRE_PLUGIN(effect) \
    if (!cli::havePlugin(effect)) GTEST_SKIP() << "the " << effect << " plug-in is not part of this build"

std::string makeProject(const std::string& dir, const std::string& effect, std::vector<std::string> extra = {}) {
    std::string path = dir + "/" + effect + ".json";
    std::vector<std::string> args = {"new", effect, "-o", path};
    args.insert(args.end(), extra.begin(), extra.end());
    cli::Result r = cli::run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    return path;
}

json show(const std::string& project) {
    cli::Result r = cli::run({"show", project});
    EXPECT_EQ(r.status, 0) << r.err;
    return json::parse(r.out);
}

std::vector<uint8_t> sequenceData(const json& shown) {
    std::vector<uint8_t> bytes = cli::decodeBase64(shown["sequence_data"]["base64"].get<std::string>());
    EXPECT_EQ(bytes.size(), shown["sequence_data"]["size"].get<size_t>());
    return bytes;
}

std::string join(const json& choices) {
    std::string s;
    for (size_t i = 0; i < choices.size(); ++i) {
        if (i) s += '|';
        s += choices[i].get<std::string>();
    }
    return s;
}

// ---------------------------------------------------------------- info

struct Row {
    int index;
    const char* type;
    const char* name;
    const char* dflt;     // JSON
    const char* choices;  // the registered string, popups only
    double validMin, validMax;
    double sliderMin = 0, sliderMax = 0;
    int precision = -1;
    bool percent = false;
};

// "Leading (Interval between Lines)" has 32 characters and fills the
// definition's name field, terminator and all: it must still come out whole.
const char* const kLeadingField = "Leading (Interval between Lines)";

const std::vector<Row> kTyping = {
    {0, "layer", "", "null", nullptr, 0, 0},
    {1, "no_data", "Information", "null", nullptr, 0, 0},
    {2, "popup", "Effect Type", "1", "Static Text|Scrolling|Pages Scrolling|Perspective Scrolling|Creeping Line|Vertical Line", 0, 0},
    {3, "checkbox", "Wrap", "true", nullptr, 0, 0},
    {4, "popup", "Scrolling Control", "2", "By Phase|By Speed", 0, 0},
    {5, "float_slider", "Phase", "0.2", nullptr, 0, 1, 0, 1, 4, false},
    {6, "float_slider", "Speed (Pixs/Frame)", "1", nullptr, -100, 100, -10, 10, 6, false},
    {7, "checkbox", "Hight Quality of Antialiasing", "false", nullptr, 0, 0},
    {8, "group_start", "Common Text parameters", "null", nullptr, 0, 0},
    {9, "float_slider", kLeadingField, "100", nullptr, 0.01, 1000, 10, 500, 2, true},
    {10, "popup", "Random Invert", "1", "None|Apply to Letters|Apply to Words", 0, 0},
    {11, "float_slider", "Invert Density", "0.5", nullptr, 0, 1, 0, 1, 3, false},
    {12, "slider", "Random Seed", "0", nullptr, 0, 1000, 0, 255},
    {13, "checkbox", "Invert Paragraph", "false", nullptr, 0, 0},
    {14, "checkbox", "Invert Headline", "false", nullptr, 0, 0},
    {15, "group_end", "", "null", nullptr, 0, 0},
    {16, "group_start", "Scrolling Screen", "null", nullptr, 0, 0},
    {17, "popup", "First Scrolling Effect", "1", "Static Screen|Fade In All|Run All|Type By Lines|Print By Lines|Fade In By Lines|Type By Letter|Assemble Lines|Assemble All | Assemble Direct|Assemble Turn Direct|Assemble All Directs", 0, 0},
    {18, "popup", "Second Scrolling Effect", "1", "Static Screen|Fade Out All|Run All|Erase By Lines|Print By Lines|Fade Out By Lines|Erase By letter|Disassemble Lines|Disassemble All| Assemble Direct|Assemble Turn Direct|Assemble All Directs", 0, 0},
    {19, "float_slider", "Speed of First Effect", "1", nullptr, -20, 20, -1, 10, 3, false},
    {20, "float_slider", "Speed of Second Effect", "1", nullptr, -20, 20, -1, 10, 3, false},
    {21, "angle", "Direction", "30", nullptr, 0, 0},
    {22, "group_end", "", "null", nullptr, 0, 0},
    {23, "group_start", "Perspective Scrolling", "null", nullptr, 0, 0},
    {24, "point", "First Point", "[50, 25]", nullptr, 0, 0},
    {25, "point", "Second Point", "[50, 75]", nullptr, 0, 0},
    {26, "slider", "Numbers of Lines", "10", nullptr, 0, 1000, 0, 255},
    {27, "float_slider", "Perspective", "2", nullptr, -20, 20, 0, 10, 3, false},
    {28, "float_slider", "Add Scale", "1", nullptr, 0, 20, 0.1, 10, 3, false},
    {29, "checkbox", "Parabola", "false", nullptr, 0, 0},
    {30, "float_slider", "Transparency Zone", "0.8", nullptr, 0, 10, 0, 0.8, 3, false},
    {31, "group_end", "", "null", nullptr, 0, 0},
    {32, "group_start", "Running Line", "null", nullptr, 0, 0},
    {33, "popup", "Running Effect", "1", "Creeping Line|Delay Headline|Creeping & Fade Out Headline|Fade In & Run Headline|Fade In & Fade Out Headline|Type & Creeping Headline|Creeping & Erase Headline|Type & Erase Headline|Type & Fade Out Headline|Fade In & Erase Headline|Dellay All Lines|Creeping & Fade Out All Lines|Fade In & Creeping All Lines|Fade In & Fade Out All Lines|Type & Erase All Lines|Type & Creeping All Lines|Creeping & Erase All Lines|Type & Fade Out|Fade In & Erase|Assemble & Disass. All Lines|Assemble & Creeping All Lines|Creeping & Disass. All Lines|Assemble & Fade Out All Lines|Fade In & Disass. All Lines|Type & Disass. All Lines|Assemble & Erase All Lines", 0, 0},
    {34, "float_slider", "Space Size", "100", nullptr, 0, 1000, 0, 200, 2, true},
    {35, "float_slider", "Delay", "100", nullptr, 0, 1000, 0, 300, 2, true},
    {36, "group_end", "", "null", nullptr, 0, 0},
    {37, "group_start", "Add Effects", "null", nullptr, 0, 0},
    {38, "float_slider", "Speed of Effect", "1", nullptr, -20, 20, -1, 10, 3, false},
    {39, "float_slider", "Strength of Effect", "1", nullptr, -20, 20, -10, 10, 3, false},
    {40, "popup", "Typing Effects", "1", "None|Cursor|Direct Fly|Direct Fly 1|Fly Chaos|Fly Chaos 1|Direct & Chaos Fly|Chaos & Direct Fly", 0, 0},
    {41, "float_slider", "Rotation Speed", "0", nullptr, -100, 100, -10, 10, 3, false},
    {42, "float_slider", "Perspective Scale", "0", nullptr, -100, 100, -10, 10, 3, false},
    {43, "float_slider", "Print Size", "1", nullptr, 0.01, 1, 0.1, 1, 3, false},
    {44, "group_end", "", "null", nullptr, 0, 0},
    {45, "group_start", "Jitters", "null", nullptr, 0, 0},
    {46, "float_slider", "Speed of Jitters", "0.1", nullptr, -20, 20, -1, 1, 3, false},
    {47, "float_slider", "Frequency of Jitters", "1", nullptr, 0, 100, 0, 20, 3, false},
    {48, "slider", "Seed", "10", nullptr, 0, 1000, 0, 255},
    {49, "popup", "Type of Offset Jitter", "1", "None|Chaos Jump|Swing|Swing Vertical|Wave|Chaos Wave", 0, 0},
    {50, "float_slider", "Offset Value", "1", nullptr, -20, 20, -10, 10, 3, false},
    {51, "popup", "Type of Scale Jitter", "1", "None|Chaos Scale|Swing|Wave|Chaos Wave|Running", 0, 0},
    {52, "float_slider", "Scale Value", "1", nullptr, 0.01, 10, 0.1, 4, 3, false},
    {53, "checkbox", "Scale without move", "false", nullptr, 0, 0},
    {54, "popup", "Type of Color Jitter", "1", "None|Chaos Color|Swing|Wave|Chaos Wave|Running", 0, 0},
    {55, "float_slider", "Color Value", "1", nullptr, 0, 1000, 0, 500, 3, false},
    {56, "popup", "Type of Rotation Jitter", "1", "None|Chaos Rotate|Swing|Wave|Chaos Wave|Running", 0, 0},
    {57, "float_slider", "Rotation Amount", "30", nullptr, -720, 720, -90, 90, 3, false},
    {58, "group_end", "", "null", nullptr, 0, 0},
    {59, "no_data", "Files Preset", "null", nullptr, 0, 0},
};

const std::vector<Row> kMorphing = {
    {0, "layer", "", "null", nullptr, 0, 0},
    {1, "no_data", "Information", "null", nullptr, 0, 0},
    {2, "popup", "Effect Type", "2", "No Effect|Scrolling|Ordered Scrolling|Lines Scrolling|Lines Ordered Scrolling|Scrolling All|Ordered Scrolling All|Morphing|Lines Morphing|Morphing All", 0, 0},
    {3, "popup", "Scrolling Control", "2", "By Phase|By Speed", 0, 0},
    {4, "float_slider", "Phase", "0.2", nullptr, 0, 1, 0, 1, 4, false},
    {5, "float_slider", "Speed (Pixs/Frame)", "1.0", nullptr, -100, 100, -10, 10, 6, false},
    {6, "group_start", "Common Text Parameters", "null", nullptr, 0, 0},
    {7, "checkbox", "Wrap", "true", nullptr, 0, 0},
    {8, "popup", "Kerning Type", "2", "By First Text|Fixing Width|Self", 0, 0},
    {9, "float_slider", "Fixed Leaving", "10", nullptr, 0.01, 100, 1, 50, 2, false},
    {10, "float_slider", kLeadingField, "100", nullptr, 0.01, 1000, 10, 500, 2, true},
    {11, "float_slider", "Scrolling Speed", "100", nullptr, 0, 100, 0, 100, 6, true},
    {12, "checkbox", "Morph & Rotate", "false", nullptr, 0, 0},
    {13, "float_slider", "Scale Effect", "0", nullptr, -100, 100, -100, 100, 6, true},
    {14, "popup", "Morphing Color", "3", "First Color|Second Color|Morphing Color|Random Color|Custom Color", 0, 0},
    {15, "color", "Custom Color", "\"#FF0000\"", nullptr, 0, 0},
    {16, "group_end", "", "null", nullptr, 0, 0},
    {17, "group_start", "Jitters", "null", nullptr, 0, 0},
    {18, "float_slider", "Speed of Jitters", "0.1", nullptr, -20, 20, -1, 1, 3, false},
    {19, "float_slider", "Frequency of Jitters", "1.0", nullptr, 0, 100, 0, 20, 3, false},
    {20, "slider", "Seed", "10", nullptr, 0, 1000, 0, 255},
    {21, "popup", "Type of Offset Jitter", "1", "None|Chaos Jump|Swing|Swing Vertical|Wave|Chaos Wave", 0, 0},
    {22, "float_slider", "Offset Value", "1.0", nullptr, -20, 20, -10, 10, 3, false},
    {23, "popup", "Type of Scale Jitter", "1", "None|Chaos Scale|Swing|Wave|Chaos Wave|Running", 0, 0},
    {24, "float_slider", "Scale Value", "1.0", nullptr, 0.01, 10, 0.1, 4, 3, false},
    {25, "checkbox", "Scale withaut move", "false", nullptr, 0, 0},
    {26, "popup", "Type of Color Jitter", "1", "None|Chaos Color|Swing|Wave|Chaos Wave|Running", 0, 0},
    {27, "float_slider", "Color Value", "1.0", nullptr, 0, 1000, 0, 500, 3, false},
    {28, "popup", "Type of Rotation Jitter", "1", "None|Chaos Rotate|Swing|Wave|Chaos Wave|Running", 0, 0},
    {29, "float_slider", "Rotation Value", "30", nullptr, -720, 720, -90, 90, 3, false},
    {30, "group_end", "", "null", nullptr, 0, 0},
};

const std::vector<Row> kDigitalizer = {
    {0, "layer", "", "null", nullptr, 0, 0},
    {1, "no_data", "Information", "null", nullptr, 0, 0},
    {2, "float_slider", "Scale Fonts", "1.0", nullptr, 0.01, 10, 0.5, 2.5, 4, false},
    {3, "float_slider", "Offset", "0", nullptr, -1, 1, -0.5, 0.5, 4, false},
    {4, "float_slider", "Leaving", "0", nullptr, -100, 100, -10, 10, 4, false},
    {5, "float_slider", "Tracking", "0", nullptr, -100, 100, -10, 10, 4, false},
    {6, "checkbox", "Mistake Intensive", "false", nullptr, 0, 0},
    {7, "checkbox", "Excitation Matrix Intensive", "false", nullptr, 0, 0},
    {8, "checkbox", "Mistake Color", "false", nullptr, 0, 0},
    {9, "checkbox", "Excitation Matrix Color", "false", nullptr, 0, 0},
};

struct InfoCase {
    const char* effect;
    const char* name;
    int numParams;
    const std::vector<Row>* rows;
};

void PrintTo(const InfoCase& c, std::ostream* os) { *os << c.effect; }

class Info : public ::testing::TestWithParam<InfoCase> {};

TEST_P(Info, ListsEveryParameterAsRegistered) {
    const InfoCase& c = GetParam();
    REQUIRE_PLUGIN(c.effect);
    cli::Result r = cli::run({"info", c.effect});
    ASSERT_EQ(r.status, 0) << r.err;
    json j = json::parse(r.out);
    EXPECT_EQ(j["name"], c.name);
    EXPECT_EQ(j["category"], "Quendrasil Effect");
    EXPECT_EQ(j["version"], "0x00080600");
    EXPECT_EQ(j["out_flags"], "0x04008476");
    EXPECT_EQ(j["num_params"], c.numParams);
    ASSERT_EQ(j["params"].size(), c.rows->size());
    for (const Row& row : *c.rows) {
        const json& p = j["params"][static_cast<size_t>(row.index)];
        SCOPED_TRACE(std::string(c.effect) + " parameter " + std::to_string(row.index) + " " + row.name);
        EXPECT_EQ(p["index"], row.index);
        EXPECT_EQ(p["type"], row.type);
        EXPECT_EQ(p["name"], row.name);
        EXPECT_EQ(p["default"], json::parse(row.dflt));
        if (row.choices) {
            EXPECT_EQ(join(p["choices"]), row.choices);
        } else {
            EXPECT_FALSE(p.contains("choices"));
        }
        std::string type = row.type;
        if (type == "slider" || type == "float_slider") {
            EXPECT_EQ(p["valid_min"], row.validMin);
            EXPECT_EQ(p["valid_max"], row.validMax);
            EXPECT_EQ(p["slider_min"], row.sliderMin);
            EXPECT_EQ(p["slider_max"], row.sliderMax);
        }
        if (type == "float_slider") {
            EXPECT_EQ(p["precision"], row.precision);
            EXPECT_EQ(p["percent"], row.percent);
            EXPECT_EQ(p["curve_tolerance"], 0.05);
        }
        if (type == "no_data") {
            EXPECT_EQ(p["ui_flags"].get<int>() & 0x02, 0x02) << "a control area of its own";
            EXPECT_EQ(p["ui_width"], 1000);
            EXPECT_EQ(p["ui_height"], 25);
        }
        if (row.index > 0) {
            EXPECT_EQ(p["flags"], 0) << "no parameter flag at registration";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Effects, Info,
                         ::testing::Values(InfoCase{"typing", "ZOL Quillarine", 60, &kTyping},
                                           InfoCase{"morphing", "ZOL Morphing", 31, &kMorphing},
                                           InfoCase{"digitalizer", "ZOL Digitalizer", 10, &kDigitalizer}),
                         [](const auto& info) { return std::string(info.param.effect); });

TEST(Info, APathToThePluginFileWorksLikeItsName) {
    REQUIRE_PLUGIN("typing");
    cli::Result byName = cli::run({"info", "typing"});
    std::string dir = std::filesystem::path(ZOLHOST).parent_path().parent_path() / "plugins";
    cli::Result byPath = cli::run({"info", dir + "/ZOLQuillarine.AEX"});
    ASSERT_EQ(byPath.status, 0) << byPath.err;
    EXPECT_EQ(byPath.out, byName.out);
}

// ---------------------------------------------------------------- new, show: sequence data

TEST(NewProject, TypingRecordIsTheFortyEightByteDefault) {
    REQUIRE_PLUGIN("typing");
    std::string dir = cli::workDir("new_typing");
    json shown = show(makeProject(dir, "typing"));
    EXPECT_EQ(shown["effect"], "ZOL Quillarine");
    std::vector<uint8_t> b = sequenceData(shown);
    ASSERT_EQ(b.size(), 48u);
    EXPECT_EQ(cli::word(b, 0), 23);
    EXPECT_EQ(cli::word(b, 4), 0);
    EXPECT_EQ(cli::word(b, 8), 0);
    EXPECT_EQ(cli::word(b, 12), 0);
    EXPECT_EQ(std::string(b.begin() + 24, b.begin() + 47), "Vellomarchen Quillarine");
    EXPECT_EQ(b[47], 0);
}

TEST(NewProject, MorphingRecordHoldsBothTextsSecondAtThirtyFive) {
    REQUIRE_PLUGIN("morphing");
    std::string dir = cli::workDir("new_morphing");
    json shown = show(makeProject(dir, "morphing"));
    std::vector<uint8_t> b = sequenceData(shown);
    ASSERT_EQ(b.size(), 59u) << "the whole handle, not the 33 bytes flat_sdata_size claims";
    EXPECT_EQ(cli::word(b, 0), 23);
    EXPECT_EQ(cli::word(b, 4), 23);
    EXPECT_EQ(cli::word(b, 8), 0);
    EXPECT_EQ(std::string(b.begin() + 12, b.begin() + 35), "Vellomarchen Quillarine");
    EXPECT_EQ(std::string(b.begin() + 35, b.begin() + 58), "Vellomarchen Quillarine");
    EXPECT_EQ(b[58], 0);
}

TEST(NewProject, DigitalizerRecordHoldsTwoSymbols) {
    REQUIRE_PLUGIN("digitalizer");
    std::string dir = cli::workDir("new_digitalizer");
    std::vector<uint8_t> b = sequenceData(show(makeProject(dir, "digitalizer")));
    ASSERT_EQ(b.size(), 160u);
    EXPECT_EQ(cli::word(b, 8), 2);
    EXPECT_EQ(b[12 + 12], ' ');
    EXPECT_EQ(b[12 + 74 + 12], '0');
}

struct CompCase {
    std::vector<std::string> args;
    int width, height, duration;
    double fps;
    json firstPoint;
};

void PrintTo(const CompCase& c, std::ostream* os) {
    *os << c.width << "x" << c.height << " at " << c.fps << " fps";
}

class Composition : public ::testing::TestWithParam<CompCase> {};

TEST_P(Composition, SizeRateDurationAndPointsInLayerPixels) {
    REQUIRE_PLUGIN("typing");
    std::string dir = cli::workDir("composition");
    json shown = show(makeProject(dir, "typing", GetParam().args));
    EXPECT_EQ(shown["composition"]["width"], GetParam().width);
    EXPECT_EQ(shown["composition"]["height"], GetParam().height);
    EXPECT_EQ(shown["composition"]["fps"], GetParam().fps);
    EXPECT_EQ(shown["composition"]["duration"], GetParam().duration);
    EXPECT_EQ(shown["params"][24]["value"], GetParam().firstPoint) << "50 %, 25 % of the layer";
}

INSTANTIATE_TEST_SUITE_P(
    Table, Composition,
    ::testing::Values(CompCase{{}, 1280, 720, 150, 30, json::parse("[640, 180]")},
                      CompCase{{"--size", "1920x1080", "--fps", "25", "--duration", "10"}, 1920, 1080, 10, 25,
                               json::parse("[960, 270]")},
                      CompCase{{"--size", "101x33", "--fps", "29.97"}, 101, 33, 150, 29.97,
                               json::parse("[50.5, 8.25]")}));

TEST(Show, NewTypingInstanceAtItsDefaults) {
    REQUIRE_PLUGIN("typing");
    std::string dir = cli::workDir("show_defaults");
    json p = show(makeProject(dir, "typing"))["params"];
    ASSERT_EQ(p.size(), 60u);
    for (size_t i = 0; i < p.size(); ++i) EXPECT_EQ(p[i]["index"], i);
    EXPECT_EQ(p[2]["value"], 1) << "Static Text";
    EXPECT_EQ(p[3]["value"], true) << "Wrap on";
    EXPECT_EQ(p[4]["value"], 2) << "By Speed";
    EXPECT_EQ(p[6]["value"], 1.0);
    EXPECT_EQ(p[9]["value"], 100.0);
    EXPECT_EQ(p[21]["value"], 30.0);
    for (int jitter : {49, 51, 54, 56}) EXPECT_EQ(p[jitter]["value"], 1) << jitter;
    EXPECT_EQ(p[1]["value"], nullptr);
    EXPECT_FALSE(p[5].contains("keyframes"));
}

TEST(Show, MorphingColourIsShownAsHex) {
    REQUIRE_PLUGIN("morphing");
    std::string dir = cli::workDir("show_colour");
    std::string project = makeProject(dir, "morphing");
    EXPECT_EQ(show(project)["params"][15]["value"], "#FF0000");
    cli::Result r = cli::run({"set", project, "Custom Color=#00ff80"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(show(project)["params"][15]["value"], "#00FF80");
}

// ---------------------------------------------------------------- save and load

TEST(Projects, SavingAndLoadingKeepTheRecordByteForByte) {
    for (const char* effect : {"typing", "morphing", "digitalizer"}) {
        if (!cli::havePlugin(effect)) continue;
        SCOPED_TRACE(effect);
        std::string dir = cli::workDir(std::string("roundtrip_") + effect);
        std::string project = makeProject(dir, effect);
        json stored = json::parse(cli::readFile(project));
        std::string original = stored["effect"]["sequence_data"]["base64"];
        json first = show(project);
        EXPECT_EQ(first["sequence_data"]["base64"], original);
        // A change and a save go through flatten and resetup again.
        std::string param = std::string(effect) == "digitalizer" ? "Offset=0.25" : "Phase=0.5";
        cli::Result r = cli::run({"set", project, param});
        ASSERT_EQ(r.status, 0) << r.err;
        r = cli::run({"set", project, param});
        ASSERT_EQ(r.status, 0) << r.err;
        json after = json::parse(cli::readFile(project));
        EXPECT_EQ(after["effect"]["sequence_data"]["base64"], original);
        EXPECT_EQ(show(project)["sequence_data"], first["sequence_data"]);
    }
}

TEST(Projects, KeyframesAreSavedShownAndClearedByAStaticValue) {
    REQUIRE_PLUGIN("typing");
    std::string dir = cli::workDir("keyframes");
    std::string project = makeProject(dir, "typing");
    cli::Result r = cli::run({"set", project, "Phase@20=1", "Phase@10=0.5", "First Point@5=10,20"});
    ASSERT_EQ(r.status, 0) << r.err;
    json p = show(project)["params"];
    EXPECT_EQ(p[5]["keyframes"], json::parse(R"([{"frame":10,"value":0.5},{"frame":20,"value":1.0}])"));
    EXPECT_EQ(p[5]["value"], 0.5) << "the value at frame 0 holds the first key";
    EXPECT_EQ(p[24]["keyframes"], json::parse(R"([{"frame":5,"value":[10.0,20.0]}])"));
    r = cli::run({"set", project, "Phase=0.3"});
    ASSERT_EQ(r.status, 0) << r.err;
    p = show(project)["params"];
    EXPECT_FALSE(p[5].contains("keyframes"));
    EXPECT_EQ(p[5]["value"], 0.3);
    EXPECT_EQ(p[24]["keyframes"].size(), 1u) << "another parameter's keys stay";
}

// ---------------------------------------------------------------- interplay

struct InterplayCase {
    const char* what;
    const char* effect;
    std::vector<std::string> assignments;
    std::vector<int> enabled;
    std::vector<int> disabled;
};

void PrintTo(const InterplayCase& c, std::ostream* os) { *os << c.effect << ": " << c.what; }

class Interplay : public ::testing::TestWithParam<InterplayCase> {};

TEST_P(Interplay, ShowReportsWhichControlsApply) {
    const InterplayCase& c = GetParam();
    REQUIRE_PLUGIN(c.effect);
    std::string dir = cli::workDir("interplay");
    std::string project = makeProject(dir, c.effect);
    if (!c.assignments.empty()) {
        std::vector<std::string> args = {"set", project};
        args.insert(args.end(), c.assignments.begin(), c.assignments.end());
        cli::Result r = cli::run(args);
        ASSERT_EQ(r.status, 0) << r.err;
    }
    json p = show(project)["params"];
    for (int i : c.enabled) EXPECT_EQ(p[static_cast<size_t>(i)]["enabled"], true) << c.what << ": " << i;
    for (int i : c.disabled) EXPECT_EQ(p[static_cast<size_t>(i)]["enabled"], false) << c.what << ": " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Typing, Interplay,
    ::testing::Values(
        InterplayCase{"new instance, Static Text",
                      "typing",
                      {},
                      {3, 8, 9},
                      {4, 5, 6, 11, 12, 16, 17, 18, 19, 20, 23, 32, 33, 34, 35, 37}},
        InterplayCase{"Pages Scrolling with Assemble Turn Direct first",
                      "typing",
                      {"Effect Type=Pages Scrolling", "First Scrolling Effect=Assemble Turn Direct"},
                      {16, 17, 18, 19, 21, 37, 38, 39, 40, 41, 42},
                      {20, 23, 32, 33, 34, 35, 43}},
        InterplayCase{"Pages Scrolling, both Assemble Lines, Typing Effects Cursor",
                      "typing",
                      {"Effect Type=Pages Scrolling", "First Scrolling Effect=Assemble Lines",
                       "Second Scrolling Effect=Disassemble Lines", "Typing Effects=Cursor"},
                      {19, 20, 37, 38, 39, 40, 41},
                      {21, 42, 43}},
        InterplayCase{"Pages Scrolling, Print By Lines",
                      "typing",
                      {"Effect Type=3", "First Scrolling Effect=Print By Lines"},
                      {19, 37, 39, 43},
                      {20, 21, 40, 41, 42}},
        InterplayCase{"Pages Scrolling, both Assemble Direct: m is 10",
                      "typing",
                      {"Effect Type=Pages Scrolling", "17=10", "18=10"},
                      {21, 37, 39, 40, 41, 42},
                      {38, 43}},
        InterplayCase{"Creeping Line with Delay Headline",
                      "typing",
                      {"Effect Type=Creeping Line", "Running Effect=Delay Headline"},
                      {8, 32, 33, 34, 35},
                      {9, 16, 37, 38, 39, 40, 41, 42}},
        InterplayCase{"Creeping Line, Assemble & Disass. All Lines",
                      "typing",
                      {"Effect Type=Creeping Line", "Running Effect=Assemble & Disass. All Lines"},
                      {37, 38, 39, 41},
                      {40, 42}},
        InterplayCase{"Creeping Line, Type & Disass. All Lines, Direct Fly",
                      "typing",
                      {"Effect Type=Creeping Line", "Running Effect=25", "Typing Effects=Direct Fly"},
                      {37, 38, 39, 40, 41, 42},
                      {}},
        InterplayCase{"Scrolling by phase",
                      "typing",
                      {"Effect Type=Scrolling", "Scrolling Control=By Phase"},
                      {4, 5},
                      {6, 16, 23, 32, 37}},
        InterplayCase{"Perspective Scrolling", "typing", {"Effect Type=Perspective Scrolling"}, {23, 4}, {8, 9, 16}},
        InterplayCase{"Vertical Line", "typing", {"Effect Type=Vertical Line"}, {4, 9}, {3, 23, 32}},
        InterplayCase{"Random Invert on words", "typing", {"Random Invert=Apply to Words"}, {11, 12}, {}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Morphing, Interplay,
    ::testing::Values(InterplayCase{"new instance, Scrolling", "morphing", {}, {11}, {12}},
                      InterplayCase{"Morphing All", "morphing", {"Effect Type=Morphing All"}, {12}, {11}},
                      InterplayCase{"Ordered Scrolling", "morphing", {"Effect Type=Ordered Scrolling"}, {}, {11, 12}},
                      InterplayCase{"No Effect", "morphing", {"Effect Type=No Effect"}, {}, {11, 12}},
                      InterplayCase{"Lines Scrolling", "morphing", {"Effect Type=4"}, {11}, {12}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// ---------------------------------------------------------------- refusals

struct Refusal {
    std::vector<std::string> assignments;
    const char* message;  // the whole line on standard error
};

void PrintTo(const Refusal& c, std::ostream* os) { *os << c.message; }

class Refused : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refused, NamesParameterAndReasonAndLeavesTheFileAsItWas) {
    REQUIRE_PLUGIN("typing");
    std::string dir = cli::workDir("refused");
    std::string project = makeProject(dir, "typing");
    ASSERT_EQ(cli::run({"set", project, "Phase@3=0.7"}).status, 0);
    std::string before = cli::readFile(project);
    std::vector<std::string> args = {"set", project};
    args.insert(args.end(), GetParam().assignments.begin(), GetParam().assignments.end());
    cli::Result r = cli::run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string("zolhost: ") + GetParam().message + "\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(cli::readFile(project), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "a temporary file was left";
}

INSTANTIATE_TEST_SUITE_P(
    Table, Refused,
    ::testing::Values(
        Refusal{{"Sped=1"}, "unknown parameter \"Sped\""},
        Refusal{{"60=1"}, "unknown parameter 60: indices run from 0 to 59"},
        Refusal{{"Phase=1.5"}, "parameter \"Phase\" (5): 1.5 is out of range (0 to 1)"},
        Refusal{{"Leading (Interval between Lines)=0"},
                "parameter \"Leading (Interval between Lines)\" (9): 0 is out of range (0.01 to 1000)"},
        Refusal{{"Random Seed=1001"}, "parameter \"Random Seed\" (12): 1001 is out of range (0 to 1000)"},
        Refusal{{"Wrap=maybe"}, "parameter \"Wrap\" (3): expected on or off, not \"maybe\""},
        Refusal{{"Effect Type=Spiral"},
                "parameter \"Effect Type\" (2): no choice \"Spiral\" (choices: \"Static Text\", \"Scrolling\", "
                "\"Pages Scrolling\", \"Perspective Scrolling\", \"Creeping Line\", \"Vertical Line\")"},
        Refusal{{"Effect Type=7"}, "parameter \"Effect Type\" (2): choice 7 is out of range (1 to 6)"},
        Refusal{{"First Point=10;20"},
                "parameter \"First Point\" (24): expected a point X,Y in layer pixels, not \"10;20\""},
        Refusal{{"Direction=north"}, "parameter \"Direction\" (21): expected an angle in degrees, not \"north\""},
        Refusal{{"Information=1"}, "parameter \"Information\" (1) is a no_data and takes no value"},
        Refusal{{"Phase@150=0.5"},
                "parameter \"Phase\" (5): frame 150 lies outside the composition (frames 0 to 149)"},
        Refusal{{"Phase"}, "\"Phase\" is not an assignment: write NAME=VALUE or NAME@FRAME=VALUE"},
        // One bad assignment among good ones changes nothing at all.
        Refusal{{"Effect Type=Pages Scrolling", "Phase=0.4", "Numbers of Lines=-3"},
                "parameter \"Numbers of Lines\" (26): -3 is out of range (0 to 1000)"}));

// ---------------------------------------------------------------- bad input

struct BadInput {
    const char* what;
    std::vector<std::string> args;
    std::vector<std::string> env;
    const char* needs;  // plug-in that must be present, or ""
    const char* fragment;
};

void PrintTo(const BadInput& c, std::ostream* os) { *os << c.what; }

class BadInputs : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputs, OneLineOnStandardErrorAndStatusOne) {
    const BadInput& c = GetParam();
    if (*c.needs) REQUIRE_PLUGIN(c.needs);
    std::string dir = cli::workDir("bad_input");
    std::ofstream(dir + "/broken.json") << "{\"zolhost_project\": 1, \"composition\": ";
    std::ofstream(dir + "/notes.txt") << "not a plug-in\n";
    std::ofstream(dir + "/array.json") << "[1, 2]";
    std::vector<std::string> args;
    for (std::string a : c.args) {
        if (auto at = a.find("@DIR"); at != std::string::npos) a.replace(at, 4, dir);
        args.push_back(a);
    }
    std::vector<std::string> env;
    for (std::string e : c.env) {
        if (auto at = e.find("@PROBE"); at != std::string::npos) e.replace(at, 6, ZOL_PROBE_PLUGIN);
        env.push_back(e);
    }
    for (auto& a : args)
        if (a == "@PROBE") a = ZOL_PROBE_PLUGIN;
    cli::Result r = cli::run(args, env);
    EXPECT_EQ(r.status, 1) << c.what;
    EXPECT_EQ(cli::lines(r.err), 1) << c.what << ": " << r.err;
    EXPECT_EQ(r.err.rfind("zolhost: ", 0), 0u) << c.what << ": " << r.err;
    std::string fragment = c.fragment;
    if (auto at = fragment.find("@DIR"); at != std::string::npos) fragment.replace(at, 4, dir);
    EXPECT_NE(r.err.find(fragment), std::string::npos) << c.what << ": " << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir + "/out.json")) << c.what << ": a project was written";
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadInputs,
    ::testing::Values(
        BadInput{"missing project", {"show", "@DIR/none.json"}, {}, "", "no project file @DIR"},
        BadInput{"malformed project", {"show", "@DIR/broken.json"}, {}, "", "is not valid JSON"},
        BadInput{"project that is not an object", {"set", "@DIR/array.json", "Phase=1"}, {}, "",
                 "a project is a JSON object"},
        BadInput{"unknown effect", {"info", "spinning"}, {}, "", "unknown effect \"spinning\""},
        BadInput{"unknown effect for new", {"new", "spinning", "-o", "@DIR/out.json"}, {}, "",
                 "unknown effect \"spinning\""},
        BadInput{"a file that is no plug-in", {"info", "@DIR/notes.txt"}, {}, "", "is not an effect plug-in"},
        BadInput{"a missing plug-in file", {"info", "@DIR/gone.aex"}, {}, "", "no plug-in file @DIR/gone.aex"},
        BadInput{"plug-in folder without the plug-ins", {"info", "typing"}, {"ZOL_PLUGIN_DIR=/nonexistent"}, "",
                 "no plug-in file /nonexistent/ZOLQuillarine.AEX"},
        BadInput{"plug-in that fails global setup", {"info", "@PROBE"}, {"PROBE_FAIL=1"}, "",
                 "ZOL Host Probe: global setup failed with error -4242"},
        BadInput{"plug-in that fails sequence setup", {"new", "@PROBE", "-o", "@DIR/out.json"}, {"PROBE_FAIL=5"},
                 "", "ZOL Host Probe: sequence setup failed with error -4242: probe told to fail"},
        BadInput{"refused handles", {"new", "typing", "-o", "@DIR/out.json"}, {"ZOLHOST_REFUSE_HANDLES=1"},
                 "typing", "ZOL Quillarine: sequence setup failed with error -108 (out of memory)"},
        BadInput{"no output for new", {"new", "typing"}, {}, "", "--output is required"},
        BadInput{"size without x", {"new", "typing", "-o", "@DIR/out.json", "--size", "1280"}, {}, "",
                 "--size must be WIDTHxHEIGHT"},
        BadInput{"size zero", {"new", "typing", "-o", "@DIR/out.json", "--size", "0x720"}, {}, "",
                 "out of range"},
        BadInput{"fps words", {"new", "typing", "-o", "@DIR/out.json", "--fps", "fast"}, {}, "", "fast"},
        BadInput{"duration zero", {"new", "typing", "-o", "@DIR/out.json", "--duration", "0"}, {}, "",
                 "--duration must lie from 1"},
        BadInput{"set without assignments", {"set", "@DIR/none.json"}, {}, "", "ASSIGNMENT is required"},
        BadInput{"no command", {}, {}, "", "subcommand"},
        BadInput{"unknown command", {"render2", "x"}, {}, "", "unknown command \"render2\""}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(BadProjects, EffectAndParameterMismatchesAreRefused) {
    REQUIRE_PLUGIN("typing");
    std::string dir = cli::workDir("bad_projects");
    std::string project = makeProject(dir, "typing");
    json j = json::parse(cli::readFile(project));
    struct Edit {
        std::function<void(json&)> damage;
        const char* fragment;
    };
    std::vector<Edit> edits = {
        {[](json& p) { p["effect"]["name"] = "ZOL Morphing"; }, "holds \"ZOL Morphing\" but typing is \"ZOL Quillarine\""},
        {[](json& p) { p["effect"]["params"][4]["value"] = 7; }, "\"Phase\" (5): 7 is out of range (0 to 1)"},
        {[](json& p) { p["effect"]["params"][1]["value"] = "Scrolling"; }, "\"Effect Type\" (2): expected a choice number"},
        {[](json& p) { p["effect"]["params"][1]["name"] = "Effect Kind"; }, "parameter 2 is \"Effect Type\", not \"Effect Kind\""},
        {[](json& p) { p["effect"]["params"][1]["index"] = 70; }, "parameter 70 does not exist"},
        {[](json& p) { p["effect"]["plugin"] = "spinning"; }, "unknown effect \"spinning\""},
    };
    for (const Edit& e : edits) {
        json damaged = j;
        e.damage(damaged);
        std::string path = dir + "/damaged.json";
        std::ofstream(path) << damaged.dump();
        std::string before = cli::readFile(path);
        for (const char* cmd : {"show", "set"}) {
            std::vector<std::string> args = {cmd, path};
            if (std::string(cmd) == "set") args.push_back("Wrap=off");
            cli::Result r = cli::run(args);
            EXPECT_EQ(r.status, 1) << cmd << " " << e.fragment;
            EXPECT_EQ(cli::lines(r.err), 1) << r.err;
            EXPECT_NE(r.err.find(e.fragment), std::string::npos) << r.err;
            EXPECT_EQ(cli::readFile(path), before);
        }
    }
}

TEST(Help, IsShownWithStatusZero) {
    cli::Result r = cli::run({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* cmd : {"info", "new", "set", "show"}) EXPECT_NE(r.out.find(cmd), std::string::npos) << cmd;
}

TEST(ProbePlugin, AProjectRemembersThePluginFileByItsFullPath) {
    std::string dir = cli::workDir("probe_project");
    std::string project = dir + "/probe.json";
    cli::Result r = cli::run({"new", ZOL_PROBE_PLUGIN, "-o", project});
    ASSERT_EQ(r.status, 0) << r.err;
    json j = json::parse(cli::readFile(project));
    EXPECT_EQ(j["effect"]["plugin"], std::filesystem::path(ZOL_PROBE_PLUGIN).lexically_normal().string());
    r = cli::run({"set", project, "Action=Grow Data"});
    ASSERT_EQ(r.status, 0) << r.err;
    json shown = show(project);
    EXPECT_EQ(shown["sequence_data"]["size"], 108) << "the grown record, whatever flat_sdata_size says";
    EXPECT_EQ(shown["params"][10]["name"], "") << "a group end shows no name";
    r = cli::run({"set", project, "Action=Fail"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "zolhost: ZOL Host Probe refused parameter \"Action\" (1): error -4242: probe refused the action\n");
}

}  // namespace
