// The edit command of the three plug-ins, against a stand-in editor that
// answers Ok or Cancel and writes back what a test gives it: the
// interchange files, the new records, the warnings, and what a refused
// handle leaves behind.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fake_host.h"
#include "plugin_files.h"
#include "platform/win/testhooks.h"

namespace {

using fakehost::FakeHost;
using fakehost::IsolatedRegistry;
using fakehost::LoadedPlugin;
using fakehost::TempFolder;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

constexpr const char* kEditorLibrary = ZOL_EDITOR_LIBRARY;
constexpr int32_t kEditedFlags = 0x00420000;

int32_t le32At(const Bytes& b, size_t at) {
    int32_t v = 0;
    if (b.size() >= at + 4) std::memcpy(&v, b.data() + at, 4);
    return v;
}
float f32At(const Bytes& b, size_t at) {
    float v = 0;
    if (b.size() >= at + 4) std::memcpy(&v, b.data() + at, 4);
    return v;
}

// One plug-in beside the stand-in editor, set up with a new instance.
class Edited {
public:
    explicit Edited(const EffectFile& effect)
        : plugin_(folder_.Copy(effect.path, effect.shippedName)) {
        folder_.Copy(kEditorLibrary, effect.libraryName);
        EXPECT_EQ(plugin_(PF_Cmd_GLOBAL_SETUP, host), PF_Err_NONE);
        host.ResetCommandRecords();
        EXPECT_EQ(plugin_(PF_Cmd_SEQUENCE_SETUP, host), PF_Err_NONE);
        record = host.out.sequence_data;
        host.ResetCommandRecords();
        host.in.sequence_data = record;
    }
    ~Edited() {
        host.ResetCommandRecords();
        host.in.sequence_data = record;
        plugin_(PF_Cmd_SEQUENCE_SETDOWN, host);
        plugin_(PF_Cmd_GLOBAL_SETDOWN, host);
    }

    fs::path file(const char* name) const { return folder_.path() / name; }
    void put(const char* name, const std::string& bytes) const {
        std::ofstream(file(name), std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string read(const char* name) const {
        std::ifstream in(file(name), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void answer(const char* what) const { put("answer.txt", what); }

    // Replaces the instance's record by `bytes`.
    void useRecord(const Bytes& bytes) {
        host.disposeCalls = 0;
        record = host.MakeHandle(bytes);
        host.in.sequence_data = record;
    }

    // Sends the options command; afterwards `record` is what the host keeps.
    PF_Err edit() {
        ZolClearMessageBoxes();
        host.out.sequence_data = host.in.sequence_data = record;
        host.out.out_flags = 0;
        PF_Err err = plugin_(PF_Cmd_DO_DIALOG, host);
        record = host.out.sequence_data;
        host.in.sequence_data = record;
        return err;
    }
    Bytes bytes() const { return host.Bytes(record); }

    IsolatedRegistry registry_;
    TempFolder folder_;
    LoadedPlugin plugin_;
    FakeHost host;
    PF_Handle record = nullptr;
};

// ---------------------------------------------------------------- typing

Bytes typingRecord(const std::string& text, int32_t cachedWidth, int32_t cachedWrap, int32_t document) {
    Bytes r(24 + text.size(), 0);
    const int32_t fields[4] = {static_cast<int32_t>(text.size()), cachedWidth, cachedWrap, document};
    std::memcpy(r.data(), fields, sizeof fields);
    std::memcpy(r.data() + 24, text.data(), text.size());
    return r;
}

TEST(TypingEdit, WritesTheTextOfANewInstanceExactly) {
    Edited e(kTypingFile);
    const Bytes before = e.bytes();
    e.answer("cancel");
    EXPECT_EQ(e.edit(), PF_Err_NONE);
    EXPECT_EQ(e.read("seen1.tmp"), "Vellomarchen Quillarine");
    EXPECT_EQ(fs::file_size(e.file("stream.tmp")), 23u);
    EXPECT_EQ(e.bytes(), before) << "Cancel keeps the record";
    EXPECT_EQ(e.host.out.out_flags & kEditedFlags, 0);
}

struct OkCase {
    const char* label;
    std::string reply;
};

class TypingOk : public ::testing::TestWithParam<OkCase> {};

TEST_P(TypingOk, StoresTheEditorsTextAndDropsTheCachedDocument) {
    Edited e(kTypingFile);
    e.useRecord(typingRecord("old text", 320, 1, 777));
    PF_Handle old = e.record;
    e.answer("ok");
    e.put("reply1.tmp", GetParam().reply);
    EXPECT_EQ(e.edit(), PF_Err_NONE);
    EXPECT_NE(e.record, old);
    EXPECT_FALSE(e.host.Live(old)) << "the old record is disposed";
    EXPECT_EQ(e.bytes(), typingRecord(GetParam().reply, 0, 0, 0));
    EXPECT_EQ(e.read("deleted.txt"), "777\n") << "the cached document is released";
    EXPECT_EQ(e.host.out.out_flags & kEditedFlags, kEditedFlags);
    EXPECT_EQ(e.read("seen1.tmp"), "old text");
}

INSTANTIATE_TEST_SUITE_P(Replies, TypingOk,
                         ::testing::Values(OkCase{"rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\b Bold\\b0  text\\par}"},
                                           OkCase{"empty", ""}, OkCase{"plain", "two\r\nlines"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(TypingEdit, ARefusedHandleKeepsTheTextAndReportsOutOfMemory) {
    Edited e(kTypingFile);
    const Bytes before = e.bytes();
    PF_Handle old = e.record;
    e.answer("ok");
    e.put("reply1.tmp", "a new text the host has no room for");
    e.host.refuseHandles = true;
    EXPECT_EQ(e.edit(), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(e.record, old);
    ASSERT_TRUE(e.host.Live(old));
    EXPECT_EQ(e.bytes(), before);
    e.host.refuseHandles = false;
}

struct FileFailure {
    const char* label;
    bool folderInTheWay;  // stream.tmp cannot be created
    const char* answer;
    bool editorCalled;
};

class TypingFileFailure : public ::testing::TestWithParam<FileFailure> {};

TEST_P(TypingFileFailure, WarnsAndLeavesTheInstanceAlone) {
    Edited e(kTypingFile);
    const Bytes before = e.bytes();
    if (GetParam().folderInTheWay) fs::create_directory(e.file("stream.tmp"));
    e.answer(GetParam().answer);
    EXPECT_EQ(e.edit(), PF_Err_NONE);
    EXPECT_EQ(e.bytes(), before);
    EXPECT_EQ(fs::exists(e.file("seen1.tmp")), GetParam().editorCalled);
    ASSERT_EQ(ZolMessageBoxes().size(), 1u);
    EXPECT_EQ(ZolMessageBoxes()[0].caption, "Quillarine Break");
    EXPECT_EQ(ZolMessageBoxes()[0].text, "You hav problem with creation file 'stream.tmp'");
    EXPECT_EQ(ZolMessageBoxes()[0].owner, nullptr);
    EXPECT_EQ(e.host.out.out_flags & kEditedFlags, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, TypingFileFailure,
                         ::testing::Values(FileFailure{"not_writable", true, "ok", false},
                                           FileFailure{"gone_after_ok", false, "ok-remove", true}),
                         [](const auto& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------- morphing

Bytes morphRecord(const std::string& first, const std::string& second) {
    Bytes r(12 + first.size() + second.size(), 0);
    const int32_t fields[2] = {static_cast<int32_t>(first.size()), static_cast<int32_t>(second.size())};
    std::memcpy(r.data(), fields, sizeof fields);
    std::memcpy(r.data() + 12, first.data(), first.size());
    std::memcpy(r.data() + 12 + first.size(), second.data(), second.size());
    return r;
}

TEST(MorphEdit, OkStoresBothTextsBackToBack) {
    Edited e(kMorphingFile);
    e.useRecord(morphRecord("first", "second text"));
    e.answer("ok");
    e.put("reply1.tmp", "{\\rtf1 One}");
    e.put("reply2.tmp", "{\\rtf1 Two and more}");
    EXPECT_EQ(e.edit(), PF_Err_NONE);
    EXPECT_EQ(e.read("seen1.tmp"), "first");
    EXPECT_EQ(e.read("seen2.tmp"), "second text");
    EXPECT_EQ(e.bytes(), morphRecord("{\\rtf1 One}", "{\\rtf1 Two and more}"));
    EXPECT_EQ(e.host.out.out_flags & kEditedFlags, kEditedFlags);
}

TEST(MorphEdit, CancelKeepsTheRecordThoughBothFilesWereWritten) {
    Edited e(kMorphingFile);
    const Bytes before = e.bytes();
    e.answer("cancel");
    e.put("reply1.tmp", "ignored");
    EXPECT_EQ(e.edit(), PF_Err_NONE);
    EXPECT_EQ(e.bytes(), before);
    EXPECT_EQ(e.read("seen1.tmp"), "Vellomarchen Quillarine");
    EXPECT_EQ(e.read("seen2.tmp"), "Vellomarchen Quillarine");
}

TEST(MorphEdit, ARefusedHandleKeepsBothTexts) {
    Edited e(kMorphingFile);
    const Bytes before = e.bytes();
    e.answer("ok");
    e.put("reply2.tmp", "longer second text");
    e.host.refuseHandles = true;
    EXPECT_EQ(e.edit(), PF_Err_OUT_OF_MEMORY);
    e.host.refuseHandles = false;
    EXPECT_EQ(e.bytes(), before);
}

struct MorphFailure {
    const char* label;
    const char* blocked;  // the file a folder stands in for; null: none
    const char* answer;
    const char* caption;
    const char* text;
};

class MorphFileFailure : public ::testing::TestWithParam<MorphFailure> {};

TEST_P(MorphFileFailure, WarnsAndLeavesTheInstanceAlone) {
    Edited e(kMorphingFile);
    const Bytes before = e.bytes();
    if (GetParam().blocked) fs::create_directory(e.file(GetParam().blocked));
    e.answer(GetParam().answer);
    EXPECT_EQ(e.edit(), PF_Err_NONE);
    EXPECT_EQ(e.bytes(), before);
    ASSERT_EQ(ZolMessageBoxes().size(), 1u);
    EXPECT_EQ(ZolMessageBoxes()[0].caption, GetParam().caption);
    EXPECT_EQ(ZolMessageBoxes()[0].text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MorphFileFailure,
    ::testing::Values(
        MorphFailure{"first_blocked", "stream.tmp", "ok", "Morthing Break",
                     "You have a problem with creation files 'stream.tmp' and 'stream2.tmp'"},
        MorphFailure{"second_blocked", "stream2.tmp", "ok", "Morthing Break",
                     "You have a problem with creation files 'stream.tmp' and 'stream2.tmp'"},
        MorphFailure{"gone_after_ok", nullptr, "ok-remove", "Quillarine Break",
                     "You hav problem with creation file 'stream.tmp' or 'stream2.tmp'"}),
    [](const auto& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------- digitalizer

constexpr size_t kEntry = 74;

TEST(DigitalizerEdit, HandsTheSetInAndStoresTheNewOneByCoverage) {
    Edited e(kDigitalizerFile);
    e.answer("ok");
    // A full block, a thin one and a wide one, in fonts of different sizes.
    e.put("symbols.txt", "W 30 700 Arial\n. 16 400 Arial\n- 20 400 Times New Roman\n# 16 400 Courier New\n");
    EXPECT_EQ(e.edit(), PF_Err_NONE);
    EXPECT_EQ(e.read("seen_symbols.txt"), "2\n  14 400 Arial\n0 14 400 Arial\n");

    const Bytes r = e.bytes();
    ASSERT_EQ(r.size(), 12 + 4 * kEntry);
    EXPECT_EQ(le32At(r, 8), 4);
    int32_t widest = 0, tallest = 0;
    std::string order;
    float previous = -1.0f;
    for (int i = 0; i < 4; ++i) {
        const size_t at = 12 + i * kEntry;
        const float coverage = f32At(r, at);
        EXPECT_GE(coverage, previous) << "sorted by coverage, ascending";
        previous = coverage;
        widest = std::max(widest, le32At(r, at + 4));
        tallest = std::max(tallest, le32At(r, at + 8));
        order += static_cast<char>(r[at + 12]);
    }
    EXPECT_EQ(previous, 1.0f) << "the largest coverage is 1";
    EXPECT_EQ(order.back(), 'W');
    EXPECT_EQ(order.front(), '.');
    EXPECT_EQ(le32At(r, 0), widest);
    EXPECT_EQ(le32At(r, 4), tallest);
    EXPECT_EQ(e.host.out.out_flags & kEditedFlags, kEditedFlags);
}

TEST(DigitalizerEdit, CancelKeepsTheRecord) {
    Edited e(kDigitalizerFile);
    const Bytes before = e.bytes();
    e.answer("cancel");
    EXPECT_EQ(e.edit(), PF_Err_NONE);
    EXPECT_EQ(e.bytes(), before);
    EXPECT_EQ(e.host.out.out_flags & kEditedFlags, 0);
}

TEST(DigitalizerEdit, ARefusedHandleKeepsTheSet) {
    Edited e(kDigitalizerFile);
    const Bytes before = e.bytes();
    e.answer("ok");
    e.put("symbols.txt", "A 16 700 Arial\n");
    e.host.refuseHandles = true;
    EXPECT_EQ(e.edit(), PF_Err_OUT_OF_MEMORY);
    e.host.refuseHandles = false;
    EXPECT_EQ(e.bytes(), before);
}

TEST(DigitalizerEdit, ARecordClaimingMoreEntriesThanItHoldsHandsInWhatItHas) {
    Edited e(kDigitalizerFile);
    Bytes damaged = e.bytes();
    const int32_t claimed = 1000;
    std::memcpy(damaged.data() + 8, &claimed, 4);
    e.useRecord(damaged);
    e.answer("cancel");
    EXPECT_EQ(e.edit(), PF_Err_NONE);
    EXPECT_EQ(e.read("seen_symbols.txt").substr(0, 2), "2\n");
}

}  // namespace
