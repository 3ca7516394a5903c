// The shell's "open": what is recorded, what is refused, and that the
// desktop's opener really gets the document without the caller waiting.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/win/testhooks.h"
#include "platform/win/winapi.h"

namespace {

namespace fs = std::filesystem;

intptr_t code(HINSTANCE h) { return reinterpret_cast<intptr_t>(h); }

class ShellOpen : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("zol_shell_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_ / "bin");
        std::ofstream(dir_ / "Quillarine.pdf") << "%PDF-1.4\n";
        const char* path = std::getenv("PATH");
        oldPath_ = path ? path : "";
        ZolClearShellCalls();
        ZolSetShellRecordOnly(true);
    }
    void TearDown() override {
        setenv("PATH", oldPath_.c_str(), 1);
        ZolSetShellRecordOnly(true);
        fs::remove_all(dir_);
    }
    // An opener of our own on PATH that notes the document it was given.
    void fakeOpener() {
        const fs::path opener = dir_ / "bin" / "xdg-open";
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s' \"$1\" > \"" << (dir_ / "opened.txt").string() << ".part\"\n"
                              << "/bin/mv \"" << (dir_ / "opened.txt").string() << ".part\" \"" << (dir_ / "opened.txt").string()
                              << "\"\n";
        fs::permissions(opener, fs::perms::owner_all);
        setenv("PATH", (dir_ / "bin").c_str(), 1);
    }
    fs::path dir_;
    std::string oldPath_;
};

struct RefusalCase {
    const char* label;
    const char* operation;
    const char* file;  // relative to the test folder; null passes null
    intptr_t result;
};

class ShellRefusal : public ShellOpen, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ShellRefusal, Answers) {
    const RefusalCase& c = GetParam();
    std::string file = c.file ? (dir_ / c.file).string() : std::string();
    HINSTANCE r = ShellExecuteA(nullptr, c.operation, c.file ? file.c_str() : nullptr, nullptr, nullptr, SW_SHOWNORMAL);
    EXPECT_EQ(code(r), c.result);
    ASSERT_EQ(ZolShellCalls().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShellRefusal,
    ::testing::Values(RefusalCase{"open_existing", "open", "Quillarine.pdf", SE_ERR_SHELL_OK},
                      RefusalCase{"null_verb_opens", nullptr, "Quillarine.pdf", SE_ERR_SHELL_OK},
                      RefusalCase{"case_of_the_name_ignored", "open", "QUILLARINE.PDF", SE_ERR_SHELL_OK},
                      RefusalCase{"missing_file", "open", "Missing.pdf", SE_ERR_FNF},
                      RefusalCase{"no_file", "open", nullptr, SE_ERR_FNF},
                      RefusalCase{"other_verb", "print", "Quillarine.pdf", SE_ERR_NOASSOC}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ShellOpen, RecordsEveryArgument) {
    HWND owner = ZolHostMainWindow();
    ShellExecuteA(owner, "open", "https://quillarine.example.org/", "x", "/tmp", SW_SHOWNORMAL);
    ASSERT_EQ(ZolShellCalls().size(), 1u);
    const ZolShellRecord& r = ZolShellCalls()[0];
    EXPECT_EQ(r.owner, owner);
    EXPECT_EQ(r.operation, "open");
    EXPECT_EQ(r.file, "https://quillarine.example.org/");
    EXPECT_EQ(r.parameters, "x");
    EXPECT_EQ(r.directory, "/tmp");
    EXPECT_EQ(r.show, SW_SHOWNORMAL);
}

TEST_F(ShellOpen, HandsTheDocumentToTheOpenerWithoutWaiting) {
    fakeOpener();
    ZolSetShellRecordOnly(false);
    const std::string pdf = (dir_ / "Quillarine.pdf").string();
    EXPECT_EQ(code(ShellExecuteA(nullptr, "open", pdf.c_str(), nullptr, nullptr, SW_SHOWNORMAL)), SE_ERR_SHELL_OK);
    // The opener runs on its own; give it a moment to note what it got.
    const fs::path opened = dir_ / "opened.txt";
    for (int i = 0; i < 200 && !fs::exists(opened); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(25));
    std::ifstream in(opened);
    std::stringstream got;
    got << in.rdbuf();
    EXPECT_EQ(got.str(), pdf);
}

TEST_F(ShellOpen, WithoutAnOpenerSaysThereIsNoAssociation) {
    setenv("PATH", (dir_ / "bin").c_str(), 1);  // an empty folder
    ZolSetShellRecordOnly(false);
    const std::string pdf = (dir_ / "Quillarine.pdf").string();
    EXPECT_EQ(code(ShellExecuteA(nullptr, "open", pdf.c_str(), nullptr, nullptr, SW_SHOWNORMAL)), SE_ERR_NOASSOC);
}

}  // namespace
