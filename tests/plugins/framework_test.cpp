// The framework's own arithmetic, tested directly: folders and library paths
// derived from a module name, binding against a test library, and where the
// texts of a stored record may be read.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "fake_host.h"
#include "framework/library_binding.h"
#include "framework/module_paths.h"
#include "framework/sequence_data.h"
#include "plugin_files.h"

namespace {

using fakehost::CurrentFloatControls;
using fakehost::TempFolder;

// ---------------------------------------------------------------- folders

struct FolderCase {
    const char* moduleName;
    const char* pluginFolder;
};

std::ostream& operator<<(std::ostream& os, const FolderCase& c) { return os << '"' << c.moduleName << '"'; }

class TypingFolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(TypingFolderTest, LosesExactlyTheShippedNameLength) {
    const FolderCase& c = GetParam();
    TypingFolders f = TypingFoldersFor(c.moduleName);
    EXPECT_EQ(f.pluginFolder, c.pluginFolder);
    EXPECT_EQ(f.helpPath, c.pluginFolder);
    EXPECT_EQ(f.saveFolder, std::string(c.pluginFolder) + "ZolQuillarineSaves");
}

INSTANTIATE_TEST_SUITE_P(
    ModuleNames, TypingFolderTest,
    ::testing::Values(FolderCase{"/x/Plug-ins/ZOLQuillarine.AEX", "/x/Plug-ins/"},
                      FolderCase{"C:/Plug-ins/ZOLQuillarine.AEX", "C:/Plug-ins/"},
                      // Another name of another length still loses 17 characters.
                      FolderCase{"/x/Plug-ins/Quill.AEX", "/x/P"},
                      FolderCase{"/x/Plug-ins/ZOLQuillarineXL.AEX", "/x/Plug-ins/ZO"},
                      FolderCase{"/ZOLQuillarine.AEX", "/"},
                      FolderCase{"ZOLQuillarine.AEX", ""}, FolderCase{"Q.AEX", ""},
                      FolderCase{"", ""}));

// ---------------------------------------------------------------- library paths

struct LibraryPathCase {
    EffectKind effect;
    const char* moduleName;
    bool found;
    const char* libraryPath;
};

const char* effectName(EffectKind e) {
    return e == EffectKind::Typing ? "typing" : e == EffectKind::Morphing ? "morphing" : "digitalizer";
}

std::ostream& operator<<(std::ostream& os, const LibraryPathCase& c) {
    return os << effectName(c.effect) << " \"" << c.moduleName << '"';
}

class LibraryPathTest : public ::testing::TestWithParam<LibraryPathCase> {};

TEST_P(LibraryPathTest, FromModuleName) {
    const LibraryPathCase& c = GetParam();
    std::string path = "untouched";
    EXPECT_EQ(LibraryPathFor(c.effect, c.moduleName, path), c.found);
    EXPECT_EQ(path, c.found ? c.libraryPath : "untouched");
}

INSTANTIATE_TEST_SUITE_P(
    ModuleNames, LibraryPathTest,
    ::testing::Values(
        // The typing plug-in swaps its extension, whatever its name.
        LibraryPathCase{EffectKind::Typing, "/f/ZOLQuillarine.AEX", true, "/f/ZOLQuillarine.DLL"},
        LibraryPathCase{EffectKind::Typing, "/f/Quill.aex", true, "/f/Quill.DLL"},
        LibraryPathCase{EffectKind::Typing, "abcd", true, "aDLL"},
        LibraryPathCase{EffectKind::Typing, "abc", false, ""},
        LibraryPathCase{EffectKind::Typing, "", false, ""},
        // The other two cut their shipped name's length and name the library.
        LibraryPathCase{EffectKind::Morphing, "/f/ZOLMorphing.aex", true, "/f/ZOLQuillarine.dll"},
        LibraryPathCase{EffectKind::Morphing, "/f/ZOLMorphingXY.aex", true, "/f/ZOZOLQuillarine.dll"},
        LibraryPathCase{EffectKind::Morphing, "//ZOLMorphing.aex", true, "//ZOLQuillarine.dll"},
        LibraryPathCase{EffectKind::Morphing, "/f/Morphing.aex", false, ""},
        LibraryPathCase{EffectKind::Morphing, "/f/Morph.aex", false, ""},
        LibraryPathCase{EffectKind::Digitalizer, "/f/ZOLDigitalizer.aex", true, "/f/ZOLQuillarine.dll"},
        LibraryPathCase{EffectKind::Digitalizer, "/f/g/ZOLDigitalizer.aex", true,
                        "/f/g/ZOLQuillarine.dll"},
        LibraryPathCase{EffectKind::Digitalizer, "/ZOLDigitalizer.aex", true, "/ZOLQuillarine.dll"},
        LibraryPathCase{EffectKind::Digitalizer, "ZOLDigitalizer.aex", false, ""},
        LibraryPathCase{EffectKind::Digitalizer, "igitalizer.aex", false, ""}));

// ---------------------------------------------------------------- binding

const std::vector<std::string> kTextEngine = {
    "CreateHideRich",        "DeleteHideRich",          "ReloadHideRich",        "GetCountHideRich",
    "GetWidthLineHideRich",  "GetHeightLineHideRich",   "GetTopLineHideRich",    "GetLeftLineHideRich",
    "GetJustifyLineHideRich", "GetLineWidthHideRich",   "DrawLineHideRich",      "DrawCharHideRich",
    "GetWidthCharHideRich",  "GetLengthLineHideRich",   "GetAllHeightLineHideRich",
    "GetHeightCharHideRich", "GetWNDHideRich"};

std::vector<std::string> exportNames(EffectKind effect) {
    std::vector<std::string> names;
    for (const LibraryExport& e : LibraryExports(effect)) names.push_back(e.name);
    return names;
}

TEST(LibraryExportsTest, RowsInLookupOrder) {
    std::vector<std::string> typing = {"EditProperties"};
    typing.insert(typing.end(), kTextEngine.begin(), kTextEngine.end());
    EXPECT_EQ(exportNames(EffectKind::Typing), typing);

    std::vector<std::string> morphing = {"EditProperties", "Edit2Properties"};
    morphing.insert(morphing.end(), kTextEngine.begin(), kTextEngine.end());
    morphing.push_back("GetWNDHideRich2");
    EXPECT_EQ(exportNames(EffectKind::Morphing), morphing);

    EXPECT_EQ(exportNames(EffectKind::Digitalizer), std::vector<std::string>{"EditDigitalizer"});
}

// Which pointers of the record are set.
std::set<std::string> boundNames(const LibraryFunctions& f) {
    const std::map<std::string, bool> all = {
        {"EditProperties", f.EditProperties != nullptr},
        {"Edit2Properties", f.Edit2Properties != nullptr},
        {"EditDigitalizer", f.EditDigitalizer != nullptr},
        {"CreateHideRich", f.CreateHideRich != nullptr},
        {"DeleteHideRich", f.DeleteHideRich != nullptr},
        {"ReloadHideRich", f.ReloadHideRich != nullptr},
        {"GetCountHideRich", f.GetCountHideRich != nullptr},
        {"GetWidthLineHideRich", f.GetWidthLineHideRich != nullptr},
        {"GetHeightLineHideRich", f.GetHeightLineHideRich != nullptr},
        {"GetTopLineHideRich", f.GetTopLineHideRich != nullptr},
        {"GetLeftLineHideRich", f.GetLeftLineHideRich != nullptr},
        {"GetJustifyLineHideRich", f.GetJustifyLineHideRich != nullptr},
        {"GetLineWidthHideRich", f.GetLineWidthHideRich != nullptr},
        {"DrawLineHideRich", f.DrawLineHideRich != nullptr},
        {"DrawCharHideRich", f.DrawCharHideRich != nullptr},
        {"GetWidthCharHideRich", f.GetWidthCharHideRich != nullptr},
        {"GetLengthLineHideRich", f.GetLengthLineHideRich != nullptr},
        {"GetAllHeightLineHideRich", f.GetAllHeightLineHideRich != nullptr},
        {"GetHeightCharHideRich", f.GetHeightCharHideRich != nullptr},
        {"GetWNDHideRich", f.GetWNDHideRich != nullptr},
        {"GetWNDHideRich2", f.GetWNDHideRich2 != nullptr},
    };
    std::set<std::string> bound;
    for (const auto& [name, set] : all)
        if (set) bound.insert(name);
    return bound;
}

struct BindCase {
    EffectKind effect;
    const char* pluginName;   // the plug-in's module file name in the folder
    const char* libraryName;  // what the test library is called there
    std::set<std::string> bound;
};

std::ostream& operator<<(std::ostream& os, const BindCase& c) {
    return os << effectName(c.effect) << " " << c.libraryName;
}

class BindingTest : public ::testing::TestWithParam<BindCase> {};

TEST_P(BindingTest, BindsWhatTheLibraryHasOfTheRow) {
    const BindCase& c = GetParam();
    TempFolder folder;
    folder.Copy(kTestLibrary, c.libraryName);
    std::string moduleName = (folder.path() / c.pluginName).string();

    fakehost::FloatControls before = CurrentFloatControls();
    LibraryFunctions f;
    BindLibraryFromModuleName(c.effect, moduleName, f);
    fakehost::FloatControls after = CurrentFloatControls();

    ASSERT_NE(f.module, nullptr);
    EXPECT_EQ(folder.LibraryLoads(), std::vector<std::string>{c.libraryName});
    EXPECT_EQ(after, before) << "the library's start-up changed the floating-point controls";
    EXPECT_EQ(boundNames(f), c.bound);
    // A bound pointer reaches the export of that name.
    if (f.EditProperties) {
        EXPECT_EQ(f.EditProperties(nullptr), 101);
    }
    if (f.EditDigitalizer) {
        EXPECT_EQ(f.EditDigitalizer(nullptr, nullptr), 103);
    }
    if (f.CreateHideRich) {
        EXPECT_EQ(f.CreateHideRich(nullptr, 1, 1, 1, 1.0, 1.0, 0.0, 0, 0), 104u);
    }
    if (f.GetCountHideRich) {
        EXPECT_EQ(f.GetCountHideRich(1), 107);
    }
    if (f.GetTopLineHideRich) {
        EXPECT_EQ(f.GetTopLineHideRich(1, 0), 110);
    }
    if (f.GetHeightCharHideRich) {
        EXPECT_EQ(f.GetHeightCharHideRich(1, 0, 0), 119);
    }
    ReleaseLibrary(f);
}

const std::set<std::string> kTypingBound = {"EditProperties",   "CreateHideRich",     "DeleteHideRich",
                                            "GetCountHideRich", "GetTopLineHideRich", "GetHeightCharHideRich"};

std::set<std::string> plus(std::set<std::string> s, const std::string& name) {
    s.insert(name);
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Effects, BindingTest,
    ::testing::Values(
        BindCase{EffectKind::Typing, "ZOLQuillarine.AEX", "ZOLQuillarine.DLL", kTypingBound},
        // Library names are found without regard to case.
        BindCase{EffectKind::Typing, "ZOLQuillarine.AEX", "zolquillarine.dll", kTypingBound},
        BindCase{EffectKind::Morphing, "ZOLMorphing.aex", "ZOLQuillarine.dll",
                 plus(kTypingBound, "GetWNDHideRich2")},
        BindCase{EffectKind::Morphing, "ZOLMorphing.aex", "ZOLQuillarine.DLL",
                 plus(kTypingBound, "GetWNDHideRich2")},
        BindCase{EffectKind::Digitalizer, "ZOLDigitalizer.aex", "ZOLQuillarine.DLL", {"EditDigitalizer"}}));

TEST(BindingTest, MissingLibraryLeavesEverythingUnset) {
    TempFolder folder;
    folder.Copy(kTestLibrary, "Other.dll");
    fakehost::FloatControls before = CurrentFloatControls();
    LibraryFunctions f;
    BindLibraryFromModuleName(EffectKind::Morphing, (folder.path() / "ZOLMorphing.aex").string(), f);
    EXPECT_EQ(f.module, nullptr);
    EXPECT_TRUE(boundNames(f).empty());
    EXPECT_TRUE(folder.LibraryLoads().empty());
    EXPECT_EQ(CurrentFloatControls(), before);
    ReleaseLibrary(f);  // a null module is refused harmlessly
}

// ---------------------------------------------------------------- stored texts

std::vector<uint8_t> record(std::initializer_list<int32_t> header, size_t size) {
    std::vector<uint8_t> r(size, 'x');
    size_t at = 0;
    for (int32_t v : header) {
        if (at + 4 <= size) StoreLE32(r.data() + at, v);
        at += 4;
    }
    return r;
}

struct TypingTextCase {
    int32_t textLength;
    size_t handleSize;
    TextExtent text;
};

std::ostream& operator<<(std::ostream& os, const TypingTextCase& c) {
    return os << c.textLength << " in " << c.handleSize;
}

class TypingTextTest : public ::testing::TestWithParam<TypingTextCase> {};

TEST_P(TypingTextTest, EndsWhereTheHandleEnds) {
    const TypingTextCase& c = GetParam();
    std::vector<uint8_t> r = record({c.textLength, 0, 0, 0, 0, 0}, c.handleSize);
    EXPECT_EQ(TypingText(r.data(), r.size()), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Records, TypingTextTest,
    ::testing::Values(TypingTextCase{23, 48, {24, 23}},  // the initial record
                      TypingTextCase{0, 24, {24, 0}},    // an empty text
                      TypingTextCase{24, 48, {24, 24}},  // text to the last byte
                      TypingTextCase{25, 48, {24, 24}},  // one byte too many claimed
                      TypingTextCase{1000, 30, {24, 6}}, TypingTextCase{0x7FFFFFFF, 100, {24, 76}},
                      TypingTextCase{-5, 48, {24, 0}},   // a negative length is empty
                      TypingTextCase{5, 24, {24, 0}},    // no text bytes at all
                      TypingTextCase{5, 20, {20, 0}},    // not even a whole header
                      TypingTextCase{5, 0, {0, 0}}));

struct MorphTextCase {
    int32_t firstLength, secondLength;
    size_t handleSize;
    TextExtent first, second;
};

std::ostream& operator<<(std::ostream& os, const MorphTextCase& c) {
    return os << c.firstLength << "+" << c.secondLength << " in " << c.handleSize;
}

class MorphTextTest : public ::testing::TestWithParam<MorphTextCase> {};

TEST_P(MorphTextTest, EndWhereTheHandleEnds) {
    const MorphTextCase& c = GetParam();
    std::vector<uint8_t> r = record({c.firstLength, c.secondLength, 0}, c.handleSize);
    MorphTextExtents t = MorphTexts(r.data(), r.size());
    EXPECT_EQ(t.first, c.first);
    EXPECT_EQ(t.second, c.second);
}

INSTANTIATE_TEST_SUITE_P(
    Records, MorphTextTest,
    ::testing::Values(MorphTextCase{23, 23, 59, {12, 23}, {35, 23}},  // the initial record
                      MorphTextCase{23, 23, 58, {12, 23}, {35, 23}},  // without the terminator
                      MorphTextCase{23, 24, 58, {12, 23}, {35, 23}},
                      MorphTextCase{40, 23, 59, {12, 40}, {52, 7}},
                      MorphTextCase{100, 23, 59, {12, 47}, {59, 0}},
                      MorphTextCase{0x7FFFFFFF, 0x7FFFFFFF, 64, {12, 52}, {64, 0}},
                      MorphTextCase{-1, 10, 40, {12, 0}, {12, 10}},
                      MorphTextCase{5, -1, 40, {12, 5}, {17, 0}},
                      MorphTextCase{0, 0, 12, {12, 0}, {12, 0}},
                      MorphTextCase{3, 3, 8, {8, 0}, {8, 0}}));

// A missing or empty record never yields text.
TEST(StoredTextTest, NoBytes) {
    EXPECT_EQ(TypingText(nullptr, 48), (TextExtent{24, 0}));
    EXPECT_EQ(MorphTexts(nullptr, 59).first.length, 0u);
    EXPECT_EQ(MorphTexts(nullptr, 59).second.length, 0u);
}

}  // namespace
