// `zolplat layout`: the library's lines as JSON, the form other checks read.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

namespace fs = std::filesystem;

namespace {

class LayoutCommand : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/zollayoutXXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        fs::create_symlink(std::string(ZOL_PLUGIN_DIR) + "/ZOLQuillarine.DLL", dir_ + "/ZOLQuillarine.DLL");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    // Runs the command on a fixture; the exit status goes to `status`.
    std::string run(const std::string& args, int& status) {
        std::string cmd = std::string(ZOLPLAT) + " layout --plugins " + dir_ + " " + args + " 2>/dev/null";
        FILE* p = popen(cmd.c_str(), "r");
        std::string out;
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        status = pclose(p);
        return out;
    }
    std::string fixture(const char* name) { return std::string(ZOL_RTF_FIXTURES) + "/" + name; }
    std::string dir_;
};

TEST_F(LayoutCommand, PrintsEveryLineWithItsRecord) {
    int status = -1;
    nlohmann::json j = nlohmann::json::parse(run(fixture("a_two_breaks_b.rtf") + " --width 300", status));
    EXPECT_EQ(status, 0);
    const auto& lines = j.at("lines");
    ASSERT_EQ(lines.size(), 3u);
    const int starts[] = {0, 3, 6};
    const char* texts[] = {"A", " ", "B"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(lines[i].at("start"), starts[i]);
        EXPECT_EQ(lines[i].at("text"), texts[i]);
        EXPECT_EQ(lines[i].at("length"), 1);
        for (const char* key : {"width", "height", "top", "left", "justify", "all_height"})
            EXPECT_TRUE(lines[i].at(key).is_number_integer()) << key;
    }
    EXPECT_EQ(lines[2].at("top"), lines[0].at("height").get<int>() - 1 + lines[1].at("height").get<int>() - 1);
    EXPECT_TRUE(fs::exists(dir_ + "/Stream.tmp"));
}

TEST_F(LayoutCommand, SecondFileNoWrapAndTextInItsCharacterSet) {
    int status = -1;
    nlohmann::json j =
        nlohmann::json::parse(run(fixture("wordprocessor.rtf") + " --second --width 60 --no-wrap", status));
    EXPECT_EQ(status, 0);
    const auto& lines = j.at("lines");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[2].at("text"), "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 italic");  // UTF-8
    EXPECT_EQ(lines[2].at("justify"), 2);
    EXPECT_TRUE(fs::exists(dir_ + "/Stream2.tmp"));
    EXPECT_FALSE(fs::exists(dir_ + "/Stream.tmp"));
}

TEST_F(LayoutCommand, MissingFileOrLibraryFails) {
    int status = 0;
    EXPECT_EQ(run(dir_ + "/missing.rtf", status), "");
    EXPECT_NE(status, 0);
    fs::remove(dir_ + "/ZOLQuillarine.DLL");
    EXPECT_EQ(run(fixture("trailing_break.rtf"), status), "");
    EXPECT_NE(status, 0);
}

}  // namespace
