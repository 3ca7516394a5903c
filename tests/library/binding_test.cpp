// The typing and morphing plug-ins' binding finds every text-engine export
// of their rows in the real library, from a plug-in folder of their own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "framework/library_binding.h"

namespace fs = std::filesystem;

namespace {

struct BindCase {
    EffectKind effect;
    const char* pluginFile;
    size_t exports;  // the whole row: editors and text engine
    bool twoTexts;
};

class Binding : public ::testing::TestWithParam<BindCase> {};

TEST_P(Binding, EveryExportOfTheRowIsFound) {
    const BindCase& c = GetParam();
    char tmpl[] = "/tmp/zolbindXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    std::string dir = tmpl;
    fs::create_symlink(std::string(ZOL_PLUGIN_DIR) + "/ZOLQuillarine.DLL", dir + "/ZOLQuillarine.DLL");

    LibraryFunctions functions;
    BindLibraryFromModuleName(c.effect, dir + "/" + c.pluginFile, functions);
    ASSERT_NE(functions.module, nullptr);
    size_t found = 0;
    for (const LibraryExport& e : LibraryExports(c.effect)) {
        FARPROC direct = GetProcAddress(functions.module, e.name);
        EXPECT_NE(direct, nullptr) << e.name;
        found += direct != nullptr;
    }
    EXPECT_EQ(found, c.exports);
    EXPECT_NE(functions.EditProperties, nullptr);
    EXPECT_EQ(functions.Edit2Properties != nullptr, c.twoTexts);
    EXPECT_NE(functions.CreateHideRich, nullptr);
    EXPECT_NE(functions.GetWNDHideRich, nullptr);
    EXPECT_NE(functions.GetHeightCharHideRich, nullptr);
    // A document made through the bound pointers answers through them too.
    HideRichDocument d = functions.CreateHideRich(nullptr, 100, 100, 1, 1.0, 1.0, 0, 0, 0);
    EXPECT_NE(d, 0u);
    EXPECT_EQ(functions.GetCountHideRich(d), 0);  // no interchange file yet
    EXPECT_NE(functions.GetWNDHideRich(d), nullptr);
    EXPECT_EQ(functions.DeleteHideRich(d), 1);
    ReleaseLibrary(functions);
    std::error_code ec;
    fs::remove_all(dir, ec);
}

INSTANTIATE_TEST_SUITE_P(Plugins, Binding,
                         ::testing::Values(BindCase{EffectKind::Typing, "ZOLQuillarine.AEX", 18, false},
                                           BindCase{EffectKind::Morphing, "ZOLMorphing.aex", 20, true}));

}  // namespace
