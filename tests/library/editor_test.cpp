// The two text editors through the real ZOLQuillarine.DLL, worked by
// scripts as a user would: what they write back to the interchange files,
// the formatting commands, the random styling tools and their stop flag.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/forms/script.h"
#include "platform/win/testhooks.h"
#include "platform/win/winapi.h"

using namespace zol::forms;
namespace fs = std::filesystem;

namespace {

typedef int32_t (*EditFn)(HWND parent);

const fs::path kFolder = ZOL_PLUGIN_DIR;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

// A control word on its own: "\\b" but not "\\b0" or "\\blue".
bool hasWord(const std::string& rtf, const std::string& word) {
    return std::regex_search(rtf, std::regex("\\\\" + word + "(?![a-z0-9])"));
}


class Editors : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryA((kFolder / "ZOLQuillarine.DLL").c_str());
        ASSERT_NE(module_, nullptr);
        edit1_ = reinterpret_cast<EditFn>(GetProcAddress(module_, "EditProperties"));
        edit2_ = reinterpret_cast<EditFn>(GetProcAddress(module_, "Edit2Properties"));
        ASSERT_NE(edit1_, nullptr);
        ASSERT_NE(edit2_, nullptr);
        // The plug-ins write the interchange files in lower case; the
        // library finds them whatever their case. Another spelling left by
        // other tests would be a second file here.
        for (const char* stale : {"Stream.tmp", "Stream2.tmp"}) fs::remove(kFolder / stale);
        writeFile(kFolder / "stream.tmp", "Vellomarchen Quillarine");
        writeFile(kFolder / "stream2.tmp", "Second text here");
        ZolClearMessageBoxes();
        ZolClearShellCalls();
        ZolSetShellRecordOnly(true);
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }
    // Runs an editor under `script`; the script must succeed.
    int32_t run(EditFn fn, const std::string& script) {
        int32_t rc = 99;
        TScriptResult r = RunScript(script, [&] { rc = fn(nullptr); });
        EXPECT_TRUE(r.ok) << r.message;
        return rc;
    }
    // Whichever spelling of the file exists: the library creates its own
    // when there is none.
    static std::string interchange(const char* lower, const char* upper) {
        return fs::exists(kFolder / lower) ? readFile(kFolder / lower) : readFile(kFolder / upper);
    }
    std::string first() const { return interchange("stream.tmp", "Stream.tmp"); }
    std::string second() const { return interchange("stream2.tmp", "Stream2.tmp"); }

    HMODULE module_ = nullptr;
    EditFn edit1_ = nullptr, edit2_ = nullptr;
};

TEST_F(Editors, OkStoresTheFormatsTheUserGave) {
    const int32_t rc = run(edit1_, R"([
        {"select": [13, 23]}, {"click": "ToolBold"},
        {"click": "FontColor"}, {"answer": {"color": "#00C0FF"}},
        {"up": "UpDown1"}, {"up": "UpDown1"},
        {"click": "BtnOk"}])");
    EXPECT_EQ(rc, -1);
    const std::string rtf = first();
    ASSERT_EQ(rtf.rfind("{\\rtf", 0), 0u) << rtf;
    EXPECT_NE(rtf.find("\\red0\\green192\\blue255"), std::string::npos) << rtf;
    // The word became bold at 12 points (10 and two steps up); the rest stays.
    EXPECT_TRUE(std::regex_search(rtf, std::regex(R"(\\fs24\\cf2\\b Quillarine)"))) << rtf;
    EXPECT_NE(rtf.find("Vellomarchen "), std::string::npos);
}

TEST_F(Editors, CancelStillWritesTheTextBack) {
    const int32_t rc = run(edit1_, R"([{"select": [0, 4]}, {"click": "ToolItalic"}, {"click": "BtnCansel"}])");
    EXPECT_EQ(rc, 0);
    // What was plain text comes back as the editor's rich text.
    EXPECT_EQ(first().rfind("{\\rtf", 0), 0u);
    EXPECT_TRUE(hasWord(first(), "i")) << first();
}

TEST_F(Editors, TheCloseButtonIsCancel) {
    EXPECT_EQ(run(edit1_, "[]"), 0);
}

struct SizeCase {
    const char* typed;
    const char* expect;  // in the RTF; null: the size stays 10 points
};

class EditorSize : public Editors, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(EditorSize, AppliesWholeNumbersFrom1To255OnLeavingTheBox) {
    const std::string script = std::string(R"([{"select": [0, -1]}, {"set": "FontSize", "text": ")") +
                               GetParam().typed + R"("}, {"exit": "FontSize"}, {"click": "BtnOk"}])";
    run(edit1_, script);
    const std::string rtf = first();
    if (GetParam().expect)
        EXPECT_NE(rtf.find(GetParam().expect), std::string::npos) << rtf;
    else
        EXPECT_NE(rtf.find("\\fs20"), std::string::npos) << rtf;
}

INSTANTIATE_TEST_SUITE_P(Table, EditorSize,
                         ::testing::Values(SizeCase{"24", "\\fs48"}, SizeCase{"300", nullptr}, SizeCase{"0", nullptr},
                                           SizeCase{"12x", nullptr}, SizeCase{"255", "\\fs510"}));

TEST_F(Editors, TheSameRandomToolWithTheSameSeedGivesTheSameText) {
    // A mid grey, so that every draw shows in the colour.
    const std::string grey =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red100\\green100\\blue100;}\\f0\\cf1 "
        "Vellomarchen Quillarine\\par}";
    auto colour = [&](int seed) {
        writeFile(kFolder / "stream.tmp", grey);
        run(edit1_, R"([{"choose": "ApplayList", "item": "Apply to Words"}, {"set": "SpinRandSeed", "text": ")" +
                        std::to_string(seed) +
                        R"("}, {"set": "SpinColor", "text": "60"}, {"click": "ToolRColor"}, {"click": "BtnOk"}])");
        return first();
    };
    const std::string once = colour(7);
    EXPECT_EQ(colour(7), once);
    EXPECT_NE(colour(8), once) << "another seed, other colours";
    // Each word has a colour of its own near the grey; the space between
    // them is not a word and keeps it.
    std::smatch table;
    ASSERT_TRUE(std::regex_search(once, table, std::regex(R"(\\colortbl ;([^}]*)\})"))) << once;
    const std::string entries = table[1];
    std::vector<std::array<int, 3>> colours;
    const std::regex entry(R"(\\red(\d+)\\green(\d+)\\blue(\d+);)");
    for (std::sregex_iterator it(entries.begin(), entries.end(), entry), end; it != end; ++it)
        colours.push_back({std::stoi((*it)[1]), std::stoi((*it)[2]), std::stoi((*it)[3])});
    ASSERT_EQ(colours.size(), 3u) << once;
    int changed = 0;
    for (const auto& c : colours) {
        if (c == std::array<int, 3>{100, 100, 100}) continue;
        ++changed;
        for (int v : c) {
            EXPECT_GE(v, 40);
            EXPECT_LE(v, 160);
        }
    }
    EXPECT_EQ(changed, 2);
}

TEST_F(Editors, NoColourDispersionTurnsOnlyWhiteGrey) {
    writeFile(kFolder / "stream.tmp",
              "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green255\\blue255;\\red0\\green0\\blue255;}"
              "\\f0\\cf1 white \\cf2 blue\\par}");
    run(edit1_, R"([{"set": "SpinColor", "text": "0"}, {"click": "ToolRColor"}, {"click": "BtnOk"}])");
    const std::string rtf = first();
    EXPECT_NE(rtf.find("\\red128\\green128\\blue128"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\red0\\green0\\blue255"), std::string::npos) << rtf;
    EXPECT_EQ(rtf.find("\\red255\\green255\\blue255"), std::string::npos) << rtf;
}

TEST_F(Editors, StopEndsALongRunAndKeepsWhatWasDone) {
    std::string text = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ";
    for (int i = 0; i < 40; ++i) text += "line of letters number " + std::to_string(i) + "\\par ";
    writeFile(kFolder / "stream.tmp", text + "}");
    // Stop arrives while the tool runs, at its 30th letter.
    run(edit1_, R"([
        {"set": "SpinSize", "text": "10"}, {"check": "CheckBoxBZ", "value": true},
        {"click": "ToolRSize"}, {"click": "BtnStop", "during": 30},
        {"click": "BtnOk"}])");
    const std::string rtf = first();
    // Letters of the first lines grew; from the third line on nothing
    // changed.
    EXPECT_TRUE(std::regex_search(rtf, std::regex(R"(\\fs2[1-9])"))) << rtf;
    const size_t third = rtf.find("number 2\\par");
    ASSERT_NE(third, std::string::npos);
    EXPECT_EQ(rtf.find("\\fs", third), std::string::npos) << rtf.substr(third, 200);
}

TEST_F(Editors, RandomFontNeedsTwoFonts) {
    run(edit1_, R"([{"click": "ToolPlus"}, {"answer": {"font": {"face": "Courier New", "size": 14}}},
                    {"click": "ToolRFont"}, {"answer": "ok"}, {"click": "BtnOk"}])");
    ASSERT_EQ(ZolMessageBoxes().size(), 1u);
    EXPECT_EQ(ZolMessageBoxes()[0].text, "The Font List must has 2 and more items");
    EXPECT_EQ(ZolMessageBoxes()[0].caption, "Warning");
    EXPECT_EQ(first().find("Courier"), std::string::npos) << "nothing changed";
}

TEST_F(Editors, RandomFontTakesFontsFromTheList) {
    run(edit1_, R"([
        {"click": "ToolPlus"}, {"answer": {"font": {"face": "Courier New", "size": 14}}},
        {"click": "ToolPlus"}, {"answer": {"font": {"face": "Times New Roman", "size": 18, "bold": true}}},
        {"choose": "ApplayList", "item": "Apply to Letters"},
        {"click": "ToolRFont"}, {"click": "BtnOk"}])");
    const std::string rtf = first();
    EXPECT_NE(rtf.find("Courier New"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("Times New Roman"), std::string::npos) << rtf;
}

TEST_F(Editors, HelpOpensTheDocumentBesideTheLibrary) {
    run(edit1_, R"([{"click": "ToolHelp"}])");
    ASSERT_EQ(ZolShellCalls().size(), 1u);
    EXPECT_EQ(ZolShellCalls()[0].operation, "open");
    EXPECT_EQ(fs::path(ZolShellCalls()[0].file).filename(), "Quillarine.pdf");
    EXPECT_EQ(ZolShellCalls()[0].show, SW_SHOWNORMAL);
}

TEST_F(Editors, AnUnreadableFileShowsTheMessageAndNoData) {
    fs::remove(kFolder / "stream.tmp");
    fs::remove(kFolder / "Stream.tmp");
    EXPECT_EQ(run(edit1_, R"([{"answer": "ok"}, {"click": "BtnOk"}])"), -1);
    ASSERT_GE(ZolMessageBoxes().size(), 1u);
    EXPECT_NE(first().find("No Data"), std::string::npos);
}

// A text in a face this machine does not have: the face box cannot show
// it, yet nothing of the user's text or its face name is lost.
TEST_F(Editors, AFaceThatIsNotInstalledIsKept) {
    writeFile(kFolder / "stream.tmp",
              "{\\rtf1\\ansi{\\fonttbl{\\f0 Nowhere Grotesk;}{\\f1 Arial;}}\\f0 Hello \\f1 world\\par}");
    const int32_t rc = run(edit1_, R"([
        {"select": [0, 5]}, {"up": "UpDown1"},
        {"select": [6, -1]}, {"click": "ToolBold"},
        {"click": "BtnOk"}])");
    EXPECT_EQ(rc, -1);
    const std::string rtf = first();
    EXPECT_NE(rtf.find("Nowhere Grotesk"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("Hello"), std::string::npos) << rtf;
    EXPECT_TRUE(std::regex_search(rtf, std::regex(R"(\\b world)"))) << rtf;
}

// The random font tool may be given a face that no font file provides: it
// is applied by name, as the control keeps faces, and the text survives.
TEST_F(Editors, TheRandomFontToolTakesAFaceThatIsNotInstalled) {
    const int32_t rc = run(edit1_, R"([
        {"click": "ToolPlus"}, {"answer": {"font": {"face": "Nowhere Grotesk", "size": 14}}},
        {"click": "ToolPlus"}, {"answer": {"font": {"face": "Arial", "size": 12}}},
        {"choose": "ApplayList", "item": "Apply to Words"},
        {"click": "ToolRFont"}, {"click": "BtnOk"}])");
    EXPECT_EQ(rc, -1);
    const std::string rtf = first();
    EXPECT_NE(rtf.find("Vellomarchen"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("Quillarine"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("Nowhere Grotesk"), std::string::npos) << rtf;
}

// ---------------------------------------------------------------- two texts

TEST_F(Editors, TheToolsActOnTheTextWorkedInLast) {
    const int32_t rc = run(edit2_, R"([
        {"select": [0, 6], "in": "RichEdit2"}, {"click": "ToolBold"},
        {"up": "UpDown1"}, {"click": "BtnOk"}])");
    EXPECT_EQ(rc, -1);
    EXPECT_FALSE(hasWord(first(), "b")) << first();
    EXPECT_TRUE(hasWord(second(), "b")) << second();
    EXPECT_NE(second().find("\\fs22"), std::string::npos) << second();
    EXPECT_EQ(first().find("\\fs22"), std::string::npos) << first();
}

TEST_F(Editors, TwoTextCancelWritesBothFiles) {
    EXPECT_EQ(run(edit2_, R"([{"click": "BtnCansel"}])"), 0);
    EXPECT_NE(first().find("Vellomarchen Quillarine"), std::string::npos);
    EXPECT_NE(second().find("Second text here"), std::string::npos);
    EXPECT_EQ(second().rfind("{\\rtf", 0), 0u);
}

TEST_F(Editors, TheMenusNewClearsOnlyTheActiveText) {
    run(edit2_, R"([{"select": [0, 0], "in": "RichEdit2"}, {"click": "New"}, {"click": "BtnOk"}])");
    EXPECT_NE(first().find("Vellomarchen"), std::string::npos);
    EXPECT_EQ(second().find("Second"), std::string::npos);
}

}  // namespace
