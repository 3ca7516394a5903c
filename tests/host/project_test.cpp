#include "host/core/project.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "host/core/error.h"

namespace fs = std::filesystem;
using nlohmann::json;
using zolhost::ProjectData;

namespace {

ProjectData sample() {
    ProjectData p;
    p.comp = {1920, 1080, 29.97, 300};
    p.plugin = "typing";
    p.effectName = "ZOL Quillarine";
    zolhost::StoredParam a;
    a.index = 2;
    a.name = "Effect Type";
    a.type = "popup";
    a.value = 3;
    a.keyframes = {{0, 1}, {40, 3}};
    a.uiFlags = 0;
    zolhost::StoredParam b;
    b.index = 16;
    b.name = "Scrolling Screen";
    b.type = "group_start";
    b.uiFlags = PF_PUI_DISABLED;
    b.flags = PF_ParamFlag_COLLAPSE_TWIRLY;
    zolhost::StoredParam c;
    c.index = 24;
    c.name = "First Point";
    c.type = "point";
    c.value = json::array({640.5, -3.0});
    p.params = {a, b, c};
    std::vector<uint8_t> bytes = {23, 0, 0, 0, 0xFF, 0x00, 0x80, '\n', '"', '\\'};
    p.sequenceData = bytes;
    return p;
}

void expectSame(const ProjectData& x, const ProjectData& y) {
    EXPECT_EQ(x.comp.width, y.comp.width);
    EXPECT_EQ(x.comp.height, y.comp.height);
    EXPECT_EQ(x.comp.fps, y.comp.fps);
    EXPECT_EQ(x.comp.duration, y.comp.duration);
    EXPECT_EQ(x.plugin, y.plugin);
    EXPECT_EQ(x.effectName, y.effectName);
    ASSERT_EQ(x.params.size(), y.params.size());
    for (size_t i = 0; i < x.params.size(); ++i) {
        EXPECT_EQ(x.params[i].index, y.params[i].index);
        EXPECT_EQ(x.params[i].name, y.params[i].name);
        EXPECT_EQ(x.params[i].type, y.params[i].type);
        EXPECT_EQ(x.params[i].value, y.params[i].value);
        EXPECT_EQ(x.params[i].keyframes, y.params[i].keyframes);
        EXPECT_EQ(x.params[i].uiFlags, y.params[i].uiFlags);
        EXPECT_EQ(x.params[i].flags, y.params[i].flags);
    }
    EXPECT_EQ(x.sequenceData, y.sequenceData);
}

class ProjectFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zolhost_project_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string file(const char* name) const { return (dir_ / name).string(); }
    size_t entries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {})); }
    fs::path dir_;
};

TEST(Project, JsonRoundTripKeepsEverything) {
    ProjectData p = sample();
    json j = json::parse(zolhost::projectToJson(p).dump());
    expectSame(zolhost::projectFromJson(j), p);
}

TEST(Project, NoSequenceDataStaysNone) {
    ProjectData p = sample();
    p.sequenceData.reset();
    ProjectData back = zolhost::projectFromJson(zolhost::projectToJson(p));
    EXPECT_FALSE(back.sequenceData);
    p.sequenceData = std::vector<uint8_t>{};
    back = zolhost::projectFromJson(zolhost::projectToJson(p));
    ASSERT_TRUE(back.sequenceData) << "an empty record is not the same as none";
    EXPECT_TRUE(back.sequenceData->empty());
}

TEST_F(ProjectFiles, WriteThenReadLeavesNoTemporaryBehind) {
    ProjectData p = sample();
    zolhost::writeProject(file("a.json"), p);
    zolhost::writeProject(file("a.json"), p);
    expectSame(zolhost::readProject(file("a.json")), p);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(ProjectFiles, FailedWriteKeepsTheOldFileAndCleansUp) {
    fs::create_directories(dir_ / "taken");
    EXPECT_THROW(zolhost::writeFileAtomically(file("taken"), "new"), zolhost::Error);
    EXPECT_TRUE(fs::is_directory(dir_ / "taken"));
    EXPECT_EQ(entries(), 1u) << "a temporary file was left behind";
    EXPECT_THROW(zolhost::writeFileAtomically(file("missing/dir/p.json"), "x"), zolhost::Error);
}

TEST_F(ProjectFiles, UnreadableFilesSayWhy) {
    auto message = [&](const std::string& path) {
        try {
            zolhost::readProject(path);
        } catch (const zolhost::Error& e) {
            return std::string(e.what());
        }
        return std::string("(accepted)");
    };
    EXPECT_NE(message(file("none.json")).find("no project file"), std::string::npos);
    std::ofstream(file("bad.json")) << "{\"zolhost_project\": 1,";
    EXPECT_NE(message(file("bad.json")).find("is not valid JSON"), std::string::npos);
    std::ofstream(file("empty.json"));
    EXPECT_NE(message(file("empty.json")).find("is not valid JSON"), std::string::npos);
    EXPECT_NE(message(dir_.string()).find("is not a file"), std::string::npos);
}

struct Malformed {
    const char* what;
    std::function<void(json&)> damage;
    const char* reason;
};

class MalformedProjects : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedProjects, AreRefusedNamingTheField) {
    json j = zolhost::projectToJson(sample());
    GetParam().damage(j);
    try {
        zolhost::projectFromJson(j);
        ADD_FAILURE() << GetParam().what << ": accepted";
    } catch (const zolhost::Error& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos)
            << GetParam().what << ": \"" << e.what() << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MalformedProjects,
    ::testing::Values(
        Malformed{"not an object", [](json& j) { j = json::array(); }, "a project is a JSON object"},
        Malformed{"no format", [](json& j) { j.erase("zolhost_project"); }, "has no \"zolhost_project\""},
        Malformed{"future format", [](json& j) { j["zolhost_project"] = 2; }, "project format 2"},
        Malformed{"no composition", [](json& j) { j.erase("composition"); }, "has no \"composition\""},
        Malformed{"width text", [](json& j) { j["composition"]["width"] = "wide"; },
                  "the composition width must be a whole number"},
        Malformed{"height zero", [](json& j) { j["composition"]["height"] = 0; },
                  "the composition height must lie from 1"},
        Malformed{"fps negative", [](json& j) { j["composition"]["fps"] = -1; }, "the frame rate"},
        Malformed{"duration missing", [](json& j) { j["composition"].erase("duration"); }, "has no \"duration\""},
        Malformed{"no effect", [](json& j) { j.erase("effect"); }, "has no \"effect\""},
        Malformed{"plugin empty", [](json& j) { j["effect"]["plugin"] = ""; }, "must name a plug-in"},
        Malformed{"params object", [](json& j) { j["effect"]["params"] = json::object(); }, "must be an array"},
        Malformed{"index twice", [](json& j) { j["effect"]["params"][1]["index"] = 2; }, "parameter 2 appears twice"},
        Malformed{"keyframe twice",
                  [](json& j) { j["effect"]["params"][0]["keyframes"][1]["frame"] = 0; },
                  "two keyframes at frame 0"},
        Malformed{"keyframe without value",
                  [](json& j) { j["effect"]["params"][0]["keyframes"][0].erase("value"); }, "has no \"value\""},
        Malformed{"flags text", [](json& j) { j["effect"]["params"][1]["ui_flags"] = "x"; },
                  "\"ui_flags\" must be a whole number"},
        Malformed{"sequence size wrong", [](json& j) { j["effect"]["sequence_data"]["size"] = 11; },
                  "holds 10 bytes but its size says 11"},
        Malformed{"sequence base64 broken", [](json& j) { j["effect"]["sequence_data"]["base64"] = "@@@@"; },
                  "not well-formed base64"},
        Malformed{"sequence a string", [](json& j) { j["effect"]["sequence_data"] = "abc"; },
                  "must be an object or null"}));

}  // namespace
