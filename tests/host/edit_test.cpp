// zolhost edit end to end: the effect's own editor worked by a script, and
// what lands in the project afterwards — or, when anything goes wrong, that
// the project is left exactly as it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "cli_support.h"

namespace {

std::string makeProject(const std::string& dir, const std::string& effect) {
    std::string path = dir + "/project.json";
    cli::Result r = cli::run({"new", effect, "-o", path, "--size", "64x32", "--duration", "4"});
    EXPECT_EQ(r.status, 0) << r.err;
    return path;
}

std::string tail(const std::vector<uint8_t>& b, size_t from) {
    return from < b.size() ? std::string(b.begin() + static_cast<long>(from), b.end()) : std::string();
}

cli::Result edit(const std::string& dir, const std::string& project, const std::string& script,
                 const std::vector<std::string>& env = {}) {
    cli::writeFile(dir + "/script.json", script);
    // The editors' help and site buttons must not start a viewer here.
    std::vector<std::string> all = {"ZOL_SHELL_RECORD_ONLY=1"};
    all.insert(all.end(), env.begin(), env.end());
    return cli::run({"edit", project, "--script", dir + "/script.json"}, all);
}

// ---------------------------------------------------------------- edits that land

TEST(Edit, TypingBoldWordIsStoredAsRichTextAndRenders) {
    if (!cli::havePlugin("typing")) GTEST_SKIP() << "the typing plug-in is not part of this build";
    std::string dir = cli::workDir("edit_typing");
    std::string project = makeProject(dir, "typing");
    cli::Result r = edit(dir, project, R"([
        {"select": [13, 23]}, {"click": "ToolBold"},
        {"click": "FontColor"}, {"answer": {"color": "#00C0FF"}},
        {"click": "BtnOk"}])");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    auto bytes = cli::sequenceData(project);
    ASSERT_GE(bytes.size(), 24u);
    const std::string rtf = tail(bytes, 24);
    EXPECT_EQ(cli::word(bytes, 0), static_cast<int32_t>(rtf.size()));
    // Ok drops the cached layout, which the next render builds again.
    for (size_t at : {4, 8, 12, 16, 20}) EXPECT_EQ(cli::word(bytes, at), 0) << "word at " << at;
    EXPECT_EQ(rtf.rfind("{\\rtf", 0), 0u) << rtf;
    EXPECT_TRUE(std::regex_search(rtf, std::regex(R"(\\b Quillarine)"))) << rtf;
    EXPECT_TRUE(std::regex_search(rtf, std::regex(R"(\\red0\\green192\\blue255;)"))) << rtf;
    r = cli::run({"render", project, "-o", dir + "/f.png"});
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST(Edit, MorphingSecondTextTakesTheEditOfItsOwnControl) {
    if (!cli::havePlugin("morphing")) GTEST_SKIP() << "the morphing plug-in is not part of this build";
    std::string dir = cli::workDir("edit_morph");
    std::string project = makeProject(dir, "morphing");
    cli::Result r = edit(dir, project, R"([
        {"select": [0, -1], "in": "RichEdit2"}, {"type": "Second"},
        {"click": "BtnOk"}])");
    ASSERT_EQ(r.status, 0) << r.err;
    auto bytes = cli::sequenceData(project);
    ASSERT_GE(bytes.size(), 12u);
    const int32_t first = cli::word(bytes, 0), second = cli::word(bytes, 4);
    ASSERT_EQ(bytes.size(), 12u + static_cast<size_t>(first) + static_cast<size_t>(second));
    const std::string one = tail(bytes, 12).substr(0, static_cast<size_t>(first));
    const std::string two = tail(bytes, 12 + static_cast<size_t>(first));
    EXPECT_NE(one.find("Vellomarchen Quillarine"), std::string::npos) << one;
    EXPECT_NE(two.find("Second"), std::string::npos) << two;
    EXPECT_EQ(two.find("Vellomarchen"), std::string::npos) << two;
}

TEST(Edit, DigitalizerSymbolsAddedFromTheMenuAreWeighedAndOrderedAscending) {
    if (!cli::havePlugin("digitalizer")) GTEST_SKIP() << "the digitalizer plug-in is not part of this build";
    std::string dir = cli::workDir("edit_digi");
    std::string project = makeProject(dir, "digitalizer");
    const auto before = cli::sequenceData(project);
    ASSERT_GE(before.size(), 12u);
    cli::Result r = edit(dir, project, R"([{"click": "Add123"}, {"click": "Ok"}])");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto after = cli::sequenceData(project);
    ASSERT_GE(after.size(), 12u);
    const int32_t count = cli::word(after, 8);
    EXPECT_EQ(count, cli::word(before, 8) + 10);
    constexpr size_t kEntry = 74;
    ASSERT_EQ(after.size(), 12u + kEntry * static_cast<size_t>(count));
    // Ascending, equal ones in their order: the render picks symbols by
    // this order. The inkiest is scaled to 1.
    float previous = -1.0f;
    for (int32_t i = 0; i < count; ++i) {
        float coverage;
        std::memcpy(&coverage, after.data() + 12 + kEntry * static_cast<size_t>(i), sizeof coverage);
        EXPECT_GE(coverage, previous) << "entry " << i;
        previous = coverage;
    }
    EXPECT_FLOAT_EQ(previous, 1.0f);
}

// ---------------------------------------------------------------- edits that change nothing

struct UnchangedCase {
    const char* name;
    const char* effect;
    const char* script;
    std::vector<std::string> env;
    int status;
    const char* says;  // on standard error; empty for a clean exit
};
void PrintTo(const UnchangedCase& c, std::ostream* os) { *os << c.name; }

class Unchanged : public ::testing::TestWithParam<UnchangedCase> {};

TEST_P(Unchanged, ProjectFileKeepsEveryByte) {
    const UnchangedCase& c = GetParam();
    if (!cli::havePlugin(c.effect)) GTEST_SKIP() << "the plug-in is not part of this build";
    std::string dir = cli::workDir("edit_unchanged");
    std::string project = makeProject(dir, c.effect);
    const std::string saved = cli::readFile(project);
    cli::Result r = edit(dir, project, c.script, c.env);
    EXPECT_EQ(r.status, c.status) << r.err;
    if (*c.says) {
        EXPECT_EQ(cli::lines(r.err), 1) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    } else {
        EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(cli::readFile(project), saved);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Unchanged,
    ::testing::Values(
        UnchangedCase{"TypingCancel", "typing", R"([{"select": [0, 4]}, {"click": "ToolBold"}, {"click": "BtnCansel"}])",
                      {}, 0, ""},
        // The steps run out with the editor open: it is closed as its close
        // button would, which keeps the old text.
        UnchangedCase{"TypingClosedByTheEndOfTheScript", "typing", R"([{"type": "lost"}])", {}, 0, ""},
        UnchangedCase{"MorphingCancel", "morphing", R"([{"type": "x"}, {"click": "BtnCansel"}])", {}, 0, ""},
        UnchangedCase{"DigitalizerCancel", "digitalizer", R"([{"click": "Add123"}, {"click": "Cancel"}])", {}, 0,
                      ""},
        UnchangedCase{"StepNamesNothingOnTheForm", "typing", R"([{"click": "NoSuchButton"}, {"click": "BtnOk"}])",
                      {}, 1, "NoSuchButton"},
        UnchangedCase{"AnswerNobodyAskedFor", "typing", R"([{"answer": "ok"}, {"click": "BtnOk"}])", {}, 1,
                      "answer"},
        UnchangedCase{"MalformedScript", "typing", R"([{"click": "BtnOk"})", {}, 1, "script.json"},
        UnchangedCase{"UnknownAction", "typing", R"([{"press": "BtnOk"}])", {}, 1, "press"},
        // The host refuses the new record: the instance keeps its text.
        UnchangedCase{"RefusedHandle", "typing", R"([{"type": "new"}, {"click": "BtnOk"}])",
                      {"ZOLHOST_REFUSE_HANDLES=1"}, 1, "failed with"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditFailure, WithoutAScriptNoDisplayIsAvailable) {
    if (!cli::havePlugin("typing")) GTEST_SKIP() << "the typing plug-in is not part of this build";
    std::string dir = cli::workDir("edit_noscript");
    std::string project = makeProject(dir, "typing");
    const std::string saved = cli::readFile(project);
    cli::Result r = cli::run({"edit", project});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(cli::lines(r.err), 1) << r.err;
    EXPECT_NE(r.err.find("no display is available"), std::string::npos) << r.err;
    EXPECT_EQ(cli::readFile(project), saved);
}

TEST(EditFailure, MissingScriptAndMissingProjectAreOneLine) {
    std::string dir = cli::workDir("edit_missing");
    cli::Result r = cli::run({"edit", dir + "/none.json", "--script", dir + "/none-script.json"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(cli::lines(r.err), 1) << r.err;
    if (!cli::havePlugin("typing")) return;
    std::string project = makeProject(dir, "typing");
    const std::string saved = cli::readFile(project);
    r = cli::run({"edit", project, "--script", dir + "/none-script.json"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(cli::lines(r.err), 1) << r.err;
    EXPECT_NE(r.err.find("none-script.json"), std::string::npos) << r.err;
    EXPECT_EQ(cli::readFile(project), saved);
}

}  // namespace
