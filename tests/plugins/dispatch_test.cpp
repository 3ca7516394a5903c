// The entry point of the real plug-in files: commands it does not know,
// global setup and setdown with and without the library, the folder the
// library is looked for in, the preset file type and the about box.
#include <gtest/gtest.h>

#include <algorithm>

#include <cfenv>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "fake_host.h"
#include "platform/win/testhooks.h"
#include "plugin_files.h"

namespace {

using fakehost::CurrentFloatControls;
using fakehost::FakeHost;
using fakehost::LoadedPlugin;
using fakehost::TempFolder;

using fakehost::IsolatedRegistry;

// The default value of a registry key, or "<none>".
std::string registryDefault(const char* keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, keyPath, &key) != ERROR_SUCCESS) return "<none>";
    char data[2048];
    DWORD size = sizeof data;
    DWORD type = 0;
    LONG r = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || type != REG_SZ) return "<none>";
    return std::string(data, size);
}

// ---------------------------------------------------------------- unknown commands

struct UnknownCommandCase {
    EffectFile effect;
    PF_Cmd cmd;
};

std::ostream& operator<<(std::ostream& os, const UnknownCommandCase& c) {
    return os << c.effect << " " << c.cmd;
}

class UnknownCommandTest : public ::testing::TestWithParam<UnknownCommandCase> {};

TEST_P(UnknownCommandTest, ReturnsZeroAndChangesNothing) {
    LoadedPlugin plugin(GetParam().effect.path);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    host.in.sequence_data = host.MakeHandle({1, 2, 3, 4});
    host.out.sequence_data = host.in.sequence_data;
    host.out.num_params = 7;
    host.out.out_flags = 0x55;
    PF_InData inBefore;
    PF_OutData outBefore;
    std::memcpy(static_cast<void*>(&inBefore), &host.in, sizeof inBefore);
    std::memcpy(static_cast<void*>(&outBefore), &host.out, sizeof outBefore);
    PF_UserChangedParamExtra extra{2};
    size_t dialogs = ZolDialogs().size();
    size_t boxes = ZolMessageBoxes().size();

    EXPECT_EQ(plugin(GetParam().cmd, host, &extra), PF_Err_NONE);

    EXPECT_EQ(std::memcmp(&host.in, &inBefore, sizeof inBefore), 0);
    EXPECT_EQ(std::memcmp(&host.out, &outBefore, sizeof outBefore), 0);
    EXPECT_EQ(host.Bytes(host.in.sequence_data), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(host.newCalls + host.lockCalls + host.disposeCalls, 0);
    EXPECT_EQ(host.addCalls + host.registerUiCalls + host.acquires + host.mainWindowQueries, 0);
    EXPECT_EQ(host.updates.size(), 0u);
    EXPECT_EQ(ZolDialogs().size(), dialogs);
    EXPECT_EQ(ZolMessageBoxes().size(), boxes);

    // Nothing to look at is no reason to fail either.
    FakeHost::current = &host;
    PF_EntryFunc main = reinterpret_cast<PF_EntryFunc>(GetProcAddress(plugin.module(), "main"));
    EXPECT_EQ(main(GetParam().cmd, nullptr, nullptr, nullptr, nullptr, nullptr), PF_Err_NONE);
}

std::vector<UnknownCommandCase> unknownCommandCases() {
    std::vector<UnknownCommandCase> cases;
    for (const EffectFile& e : {kTypingFile, kMorphingFile, kDigitalizerFile})
        for (PF_Cmd cmd : {2, 10, 12, 16, 17, 40, 255, -1, INT_MAX, INT_MIN}) cases.push_back({e, cmd});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Commands, UnknownCommandTest, ::testing::ValuesIn(unknownCommandCases()));

// ---------------------------------------------------------------- global setup

class GlobalSetupTest : public ::testing::TestWithParam<EffectFile> {
protected:
    IsolatedRegistry registry_;
    TempFolder folder_;
};

TEST_P(GlobalSetupTest, WithoutTheLibraryStillSucceeds) {
    std::string file = folder_.Copy(GetParam().path, GetParam().shippedName);
    LoadedPlugin plugin(file);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    host.out.out_flags = 0x7FFFFFFF;
    EXPECT_EQ(plugin(PF_Cmd_GLOBAL_SETUP, host), PF_Err_NONE);
    EXPECT_EQ(host.out.my_version, 0x00080600u);
    EXPECT_EQ(host.out.out_flags, 0x04008476);
    EXPECT_EQ(plugin(PF_Cmd_GLOBAL_SETDOWN, host), PF_Err_NONE);
}

TEST_P(GlobalSetupTest, LoadsTheLibraryBesideItAndRestoresTheFloatControls) {
    std::string file = folder_.Copy(GetParam().path, GetParam().shippedName);
    folder_.Copy(kTestLibrary, GetParam().libraryName);
    LoadedPlugin plugin(file);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;

    std::feclearexcept(FE_ALL_EXCEPT);
    fakehost::FloatControls before = CurrentFloatControls();
    EXPECT_EQ(plugin(PF_Cmd_GLOBAL_SETUP, host), PF_Err_NONE);
    EXPECT_EQ(CurrentFloatControls(), before);
    EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0) << "the library's pending exceptions were kept";
    EXPECT_EQ(folder_.LibraryLoads(), std::vector<std::string>{GetParam().libraryName});
    EXPECT_EQ(host.out.my_version, 0x00080600u);
    EXPECT_EQ(host.out.out_flags, 0x04008476);

    EXPECT_EQ(plugin(PF_Cmd_GLOBAL_SETDOWN, host), PF_Err_NONE);
    EXPECT_EQ(folder_.LibraryLoads(),
              (std::vector<std::string>{GetParam().libraryName, std::string("unloaded ") + GetParam().libraryName}));
}

// The library's name is matched without regard to case: the typing plug-in
// asks for "ZOLQuillarine.DLL", the others for "ZOLQuillarine.dll".
TEST_P(GlobalSetupTest, FindsTheLibraryWhateverTheCaseOfItsName) {
    std::string file = folder_.Copy(GetParam().path, GetParam().shippedName);
    std::string other = std::strcmp(GetParam().libraryName, "ZOLQuillarine.DLL") == 0 ? "zolquillarine.dll"
                                                                                       : "ZOLQUILLARINE.DLL";
    folder_.Copy(kTestLibrary, other);
    LoadedPlugin plugin(file);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    EXPECT_EQ(plugin(PF_Cmd_GLOBAL_SETUP, host), PF_Err_NONE);
    EXPECT_EQ(folder_.LibraryLoads(), std::vector<std::string>{other});
    plugin(PF_Cmd_GLOBAL_SETDOWN, host);
}

TEST_P(GlobalSetupTest, SetdownWithoutSetupIsHarmless) {
    LoadedPlugin plugin(folder_.Copy(GetParam().path, GetParam().shippedName));
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    EXPECT_EQ(plugin(PF_Cmd_GLOBAL_SETDOWN, host), PF_Err_NONE);
}

INSTANTIATE_TEST_SUITE_P(Effects, GlobalSetupTest,
                         ::testing::Values(kTypingFile, kMorphingFile, kDigitalizerFile));

// A plug-in file under another name cuts its shipped name's length off its
// path all the same, and so looks for the library under a surprising name.
struct RenamedCase {
    EffectFile effect;
    const char* fileName;
    const char* libraryName;
};

std::ostream& operator<<(std::ostream& os, const RenamedCase& c) { return os << c.fileName; }

class RenamedPluginTest : public ::testing::TestWithParam<RenamedCase> {};

TEST_P(RenamedPluginTest, LooksForTheLibraryByTheShippedNameLength) {
    IsolatedRegistry registry;
    TempFolder folder;
    const RenamedCase& c = GetParam();
    std::string file = folder.Copy(c.effect.path, c.fileName);
    folder.Copy(kTestLibrary, c.libraryName);
    folder.Copy(kTestLibrary, c.effect.libraryName);  // the usual name must not be taken
    LoadedPlugin plugin(file);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    EXPECT_EQ(plugin(PF_Cmd_GLOBAL_SETUP, host), PF_Err_NONE);
    EXPECT_EQ(folder.LibraryLoads(), std::vector<std::string>{c.libraryName});
    plugin(PF_Cmd_GLOBAL_SETDOWN, host);
}

INSTANTIATE_TEST_SUITE_P(
    Names, RenamedPluginTest,
    ::testing::Values(RenamedCase{kTypingFile, "Quill.aex", "Quill.DLL"},
                      RenamedCase{kTypingFile, "ZOLQuillarine-1.35.AEX", "ZOLQuillarine-1.35.DLL"},
                      RenamedCase{kMorphingFile, "ZOLMorphingXY.aex", "ZOZOLQuillarine.dll"},
                      RenamedCase{kDigitalizerFile, "ZOLDigitalizer-copy.aex", "ZOLDiZOLQuillarine.dll"}));

// ---------------------------------------------------------------- file type

TEST(PresetFileTypeTest, TypingRegistersTheExtensionAndItsIcon) {
    IsolatedRegistry registry;
    TempFolder folder;
    std::string file = folder.Copy(kTypingPlugin, "ZOLQuillarine.AEX");
    LoadedPlugin plugin(file);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    ASSERT_EQ(plugin(PF_Cmd_GLOBAL_SETUP, host), PF_Err_NONE);
    EXPECT_EQ(registryDefault(".rta"), "Quillarine for AE");
    EXPECT_EQ(registryDefault("Quillarine for AE\\DefaultIcon"), file + ",0");
}

TEST(PresetFileTypeTest, TheOtherEffectsRegisterNothing) {
    IsolatedRegistry registry;
    for (const EffectFile& e : {kMorphingFile, kDigitalizerFile}) {
        LoadedPlugin plugin(e.path);
        ASSERT_TRUE(plugin.loaded());
        FakeHost host;
        ASSERT_EQ(plugin(PF_Cmd_GLOBAL_SETUP, host), PF_Err_NONE);
        plugin(PF_Cmd_GLOBAL_SETDOWN, host);
    }
    EXPECT_EQ(registryDefault(".rta"), "<none>");
    EXPECT_EQ(registryDefault("Quillarine for AE\\DefaultIcon"), "<none>");
}

// ---------------------------------------------------------------- about box

class AboutBoxTest : public ::testing::TestWithParam<EffectFile> {
protected:
    void TearDown() override { ZolSetDialogDriver(nullptr, nullptr); }
};

TEST_P(AboutBoxTest, ShowsDialog7771OverTheHostsMainWindow) {
    LoadedPlugin plugin(GetParam().path);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    ZolClearDialogs();
    EXPECT_EQ(plugin(PF_Cmd_ABOUT, host), PF_Err_NONE);
    ASSERT_EQ(ZolDialogs().size(), 1u);
    const ZolDialogRecord& d = ZolDialogs()[0];
    EXPECT_EQ(d.module, plugin.module());
    EXPECT_EQ(d.id, 7771);
    EXPECT_EQ(d.parent, ZolHostMainWindow());
    EXPECT_EQ(d.result, IDCANCEL);  // the headless driver presses Cancel
    EXPECT_EQ(host.mainWindowQueries, 1);
}

INSTANTIATE_TEST_SUITE_P(Effects, AboutBoxTest,
                         ::testing::Values(kTypingFile, kMorphingFile, kDigitalizerFile));

struct Message {
    UINT message;
    WPARAM wparam;
};

struct DialogCase {
    const char* name;
    std::vector<Message> messages;
    std::vector<INT_PTR> answers;  // what the procedure returns to each; empty: not checked
    INT_PTR result;
};

std::ostream& operator<<(std::ostream& os, const DialogCase& c) { return os << c.name; }

struct DriverState {
    const DialogCase* c = nullptr;
    std::vector<INT_PTR> answers;
};

void scriptedDriver(HWND dialog, int, DLGPROC proc, void* context) {
    auto* s = static_cast<DriverState*>(context);
    for (const Message& m : s->c->messages) s->answers.push_back(proc(dialog, m.message, m.wparam, 0));
}

class AboutDialogProcTest : public ::testing::TestWithParam<DialogCase> {
protected:
    void TearDown() override { ZolSetDialogDriver(nullptr, nullptr); }
};

TEST_P(AboutDialogProcTest, EndsOnlyOnOkOrCancelClicked) {
    LoadedPlugin plugin(kTypingPlugin);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    DriverState state;
    state.c = &GetParam();
    ZolSetDialogDriver(scriptedDriver, &state);
    ZolClearDialogs();
    ZolClearShellCalls();
    ZolSetShellRecordOnly(true);
    EXPECT_EQ(plugin(PF_Cmd_ABOUT, host), PF_Err_NONE);
    ASSERT_EQ(ZolDialogs().size(), 1u);
    EXPECT_EQ(ZolDialogs()[0].result, GetParam().result);
    if (!GetParam().answers.empty()) {
        EXPECT_EQ(state.answers, GetParam().answers);
    }
    // Only the site button asks the shell for anything.
    const bool site = std::any_of(GetParam().messages.begin(), GetParam().messages.end(),
                                  [](const Message& m) { return m.message == WM_COMMAND && m.wparam == 7774; });
    ASSERT_EQ(ZolShellCalls().size(), site ? 1u : 0u);
    if (site) {
        EXPECT_EQ(ZolShellCalls()[0].operation, "open");
        EXPECT_EQ(ZolShellCalls()[0].file, "https://quillarine.example.org/");
        EXPECT_EQ(ZolShellCalls()[0].show, SW_SHOWNORMAL);
    }
}

constexpr WPARAM command(WORD control, WORD notification) { return MAKEWPARAM(control, notification); }

INSTANTIATE_TEST_SUITE_P(
    Messages, AboutDialogProcTest,
    ::testing::Values(
        DialogCase{"Ok", {{WM_COMMAND, command(1, 0)}}, {TRUE}, 1},
        DialogCase{"Cancel", {{WM_COMMAND, command(2, 0)}}, {TRUE}, 2},
        // A notification other than a click is not a close.
        DialogCase{"NotifiedThenOk", {{WM_COMMAND, command(2, 1)}, {WM_COMMAND, command(1, 0)}}, {FALSE, TRUE}, 1},
        DialogCase{"OtherControlThenOk", {{WM_COMMAND, command(3, 0)}, {WM_COMMAND, command(1, 0)}}, {FALSE, TRUE}, 1},
        // The site button keeps the box open.
        DialogCase{"SiteButtonThenOk", {{WM_COMMAND, command(7774, 0)}, {WM_COMMAND, command(1, 0)}}, {}, 1},
        DialogCase{"Destroy", {{WM_DESTROY, 0}, {WM_COMMAND, command(1, 0)}}, {TRUE, TRUE}, 1},
        DialogCase{"UnhandledMessages", {{WM_CLOSE, 0}, {WM_INITDIALOG, 0}, {0x0400, 7}, {WM_COMMAND, command(1, 0)}},
                   {FALSE, FALSE, FALSE, TRUE}, 1}));

}  // namespace
