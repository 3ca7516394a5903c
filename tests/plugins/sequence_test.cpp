// Sequence data of the real plug-ins: the initial records byte for byte,
// setup without a handle, resetup, flatten and setdown, and stored records
// that claim more bytes than their handle holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fake_host.h"
#include "plugin_files.h"

namespace {

using fakehost::FakeHost;
using fakehost::LoadedPlugin;
using fakehost::TempFolder;

using Bytes = std::vector<uint8_t>;

Bytes le32(int32_t v) {
    Bytes b(4);
    std::memcpy(b.data(), &v, 4);
    return b;
}

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes text(const char* s) { return Bytes(s, s + std::strlen(s)); }
Bytes fill(size_t n, uint8_t v) { return Bytes(n, v); }

const char* const kText = "Vellomarchen Quillarine";

// A typing record: header fields, then the text bytes.
Bytes typingRecord(int32_t textLength, int32_t cachedWidth, int32_t cachedWrap, uint32_t document,
                   const Bytes& tail) {
    return cat({le32(textLength), le32(cachedWidth), le32(cachedWrap), le32(static_cast<int32_t>(document)),
                le32(0x11111111), le32(0x22222222), tail});
}

// ---------------------------------------------------------------- initial records

struct InitialCase {
    EffectFile effect;
    PF_Cmd cmd;  // setup, or resetup without a handle
    Bytes record;
    int32_t flatSize;
};

std::ostream& operator<<(std::ostream& os, const InitialCase& c) { return os << c.effect << " " << c.cmd; }

class InitialRecordTest : public ::testing::TestWithParam<InitialCase> {};

TEST_P(InitialRecordTest, ByteForByte) {
    const InitialCase& c = GetParam();
    LoadedPlugin plugin(c.effect.path);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    // What a host leaves in a new handle must not decide the record.
    host.fillByte = 0xA5;
    host.out.flat_sdata_size = -1;
    ASSERT_EQ(plugin(c.cmd, host), PF_Err_NONE);
    ASSERT_EQ(host.LiveHandles(), 1u);
    ASSERT_TRUE(host.Live(host.out.sequence_data));
    EXPECT_EQ(host.Bytes(host.out.sequence_data), c.record);
    EXPECT_EQ(host.out.flat_sdata_size, c.flatSize);
    EXPECT_EQ(host.in.sequence_data, nullptr);
    EXPECT_EQ(host.lockedNow, 0) << "the new record was left locked";
}

// The typing record's two reserved fields are not written at setup: they
// keep what the host's handle held.
const Bytes kTypingInitial = cat({le32(23), le32(0), le32(0), le32(0), fill(8, 0xA5), text(kText), {0}});
const Bytes kMorphInitial = cat({le32(23), le32(23), le32(0), text(kText), text(kText), {0}});

INSTANTIATE_TEST_SUITE_P(
    Records, InitialRecordTest,
    ::testing::Values(InitialCase{kTypingFile, PF_Cmd_SEQUENCE_SETUP, kTypingInitial, 48},
                      InitialCase{kTypingFile, PF_Cmd_SEQUENCE_RESETUP, kTypingInitial, 48},
                      InitialCase{kMorphingFile, PF_Cmd_SEQUENCE_SETUP, kMorphInitial, 33},
                      InitialCase{kMorphingFile, PF_Cmd_SEQUENCE_RESETUP, kMorphInitial, 33}));

TEST(InitialRecordTest, RecordSizes) {
    EXPECT_EQ(kTypingInitial.size(), 48u);
    EXPECT_EQ(kMorphInitial.size(), 59u);
    EXPECT_EQ(std::memcmp(kMorphInitial.data() + 35, kText, 23), 0);
}

// The digitalizer's record carries its two symbols, a space and a "0",
// each with a 14-pixel Arial font.
TEST(InitialRecordTest, DigitalizerSymbols) {
    LoadedPlugin plugin(kDigitalizerPlugin);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    ASSERT_EQ(plugin(PF_Cmd_SEQUENCE_SETUP, host), PF_Err_NONE);
    Bytes r = host.Bytes(host.out.sequence_data);
    ASSERT_EQ(r.size(), 160u);
    EXPECT_EQ(host.out.flat_sdata_size, 160);
    auto at32 = [&](size_t off) {
        int32_t v;
        std::memcpy(&v, r.data() + off, 4);
        return v;
    };
    EXPECT_EQ(at32(8), 2);
    for (size_t entry : {12u, 86u}) {
        size_t font = entry + 14;
        EXPECT_EQ(at32(font + 0), 14);
        for (size_t field : {4u, 8u, 12u}) EXPECT_EQ(at32(font + field), 0);
        EXPECT_EQ(at32(font + 16), 400);
        for (size_t b = 20; b < 28; ++b) EXPECT_EQ(r[font + b], b == 26 ? 2 : 0) << "font byte " << b;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&r[font + 28])), "Arial");
    }
    // Both symbols measured in 14-pixel Arial: a space is narrower than a
    // "0", both are as high as the font's cell, and the cell is the larger.
    int32_t spaceWidth = at32(12 + 4), spaceHeight = at32(12 + 8);
    int32_t zeroWidth = at32(86 + 4), zeroHeight = at32(86 + 8);
    EXPECT_GT(spaceWidth, 0);
    EXPECT_GT(zeroWidth, spaceWidth);
    EXPECT_EQ(spaceHeight, zeroHeight);
    EXPECT_GE(zeroHeight, 13);
    EXPECT_LE(zeroHeight, 17);
    EXPECT_EQ(at32(0), std::max(spaceWidth, zeroWidth));
    EXPECT_EQ(at32(4), std::max(spaceHeight, zeroHeight));
    float zeroCoverage;
    std::memcpy(&zeroCoverage, r.data() + 86, 4);
    // A "0" inks a good part of its cell, far from all of it.
    EXPECT_GT(zeroCoverage, 0.1f);
    EXPECT_LT(zeroCoverage, 0.5f);
    EXPECT_EQ(r[12 + 12], ' ');
    EXPECT_EQ(r[86 + 12], '0');
    float spaceCoverage;
    std::memcpy(&spaceCoverage, r.data() + 12, 4);
    EXPECT_EQ(spaceCoverage, 0.0f);
    // The two fonts are one font.
    EXPECT_EQ(std::memcmp(&r[12 + 14], &r[86 + 14], 60), 0);
}

// ---------------------------------------------------------------- no handle

struct EffectCommand {
    EffectFile effect;
    PF_Cmd cmd;
};

std::ostream& operator<<(std::ostream& os, const EffectCommand& c) { return os << c.effect << " " << c.cmd; }

class RefusedHandleTest : public ::testing::TestWithParam<EffectCommand> {};

TEST_P(RefusedHandleTest, ReturnsOutOfMemoryAndDoesNothingElse) {
    LoadedPlugin plugin(GetParam().effect.path);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    host.refuseHandles = true;
    host.out.flat_sdata_size = 12345;
    EXPECT_EQ(plugin(GetParam().cmd, host), -108);
    EXPECT_EQ(host.out.sequence_data, nullptr);
    EXPECT_EQ(host.out.flat_sdata_size, 12345);
    EXPECT_EQ(host.LiveHandles(), 0u);
    EXPECT_EQ(host.newCalls, 1);
}

std::vector<EffectCommand> setupCommands() {
    std::vector<EffectCommand> cases;
    for (const EffectFile& e : {kTypingFile, kMorphingFile, kDigitalizerFile})
        for (PF_Cmd cmd : {PF_Cmd_SEQUENCE_SETUP, PF_Cmd_SEQUENCE_RESETUP}) cases.push_back({e, cmd});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Effects, RefusedHandleTest, ::testing::ValuesIn(setupCommands()));

// ---------------------------------------------------------------- resetup, setdown, flatten

class SequenceTest : public ::testing::TestWithParam<EffectFile> {};

TEST_P(SequenceTest, ResetupKeepsAnExistingHandleUntouched) {
    LoadedPlugin plugin(GetParam().path);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    Bytes stored = typingRecord(5, 640, 1, 0, text("Hello"));
    PF_Handle h = host.MakeHandle(stored);
    host.in.sequence_data = h;
    host.out.flat_sdata_size = 777;
    EXPECT_EQ(plugin(PF_Cmd_SEQUENCE_RESETUP, host), PF_Err_NONE);
    EXPECT_EQ(host.Bytes(h), stored);
    EXPECT_EQ(host.in.sequence_data, h);
    EXPECT_EQ(host.out.sequence_data, nullptr);
    EXPECT_EQ(host.out.flat_sdata_size, 777);
    EXPECT_EQ(host.newCalls + host.disposeCalls, 0);
}

TEST_P(SequenceTest, SetdownWithoutAHandleDoesNothing) {
    LoadedPlugin plugin(GetParam().path);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    PF_Handle other = host.MakeHandle({9});
    host.out.sequence_data = other;
    EXPECT_EQ(plugin(PF_Cmd_SEQUENCE_SETDOWN, host), PF_Err_NONE);
    EXPECT_EQ(host.out.sequence_data, other);
    EXPECT_EQ(host.disposeCalls + host.lockCalls, 0);
}

TEST_P(SequenceTest, SetdownDisposesTheRecord) {
    LoadedPlugin plugin(GetParam().path);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    ASSERT_EQ(plugin(PF_Cmd_SEQUENCE_SETUP, host), PF_Err_NONE);
    host.in.sequence_data = host.out.sequence_data;
    EXPECT_EQ(plugin(PF_Cmd_SEQUENCE_SETDOWN, host), PF_Err_NONE);
    EXPECT_EQ(host.LiveHandles(), 0u);
    EXPECT_EQ(host.in.sequence_data, nullptr);
    EXPECT_EQ(host.out.sequence_data, nullptr);
    EXPECT_EQ(host.lockedNow, 0);
}

TEST_P(SequenceTest, FlattenHandsTheRecordOver) {
    LoadedPlugin plugin(GetParam().path);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    ASSERT_EQ(plugin(PF_Cmd_SEQUENCE_SETUP, host), PF_Err_NONE);
    PF_Handle h = host.out.sequence_data;
    Bytes before = host.Bytes(h);
    host.ResetCommandRecords();
    host.in.sequence_data = h;
    EXPECT_EQ(plugin(PF_Cmd_SEQUENCE_FLATTEN, host), PF_Err_NONE);
    EXPECT_EQ(host.out.sequence_data, h);
    EXPECT_EQ(host.in.sequence_data, nullptr);
    EXPECT_EQ(host.Bytes(h), before);
    EXPECT_EQ(host.disposeCalls, 0);
    EXPECT_EQ(host.lockedNow, 0);

    // Flattened and set up again, the record is used as it is.
    host.ResetCommandRecords();
    host.in.sequence_data = h;
    EXPECT_EQ(plugin(PF_Cmd_SEQUENCE_RESETUP, host), PF_Err_NONE);
    EXPECT_EQ(host.Bytes(h), before);
    EXPECT_EQ(host.LiveHandles(), 1u);
}

TEST_P(SequenceTest, FlattenWithoutAHandleHandsOverNothing) {
    LoadedPlugin plugin(GetParam().path);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    host.out.sequence_data = host.MakeHandle({1});
    EXPECT_EQ(plugin(PF_Cmd_SEQUENCE_FLATTEN, host), PF_Err_NONE);
    EXPECT_EQ(host.out.sequence_data, nullptr);
    EXPECT_EQ(host.lockCalls + host.disposeCalls, 0);
}

INSTANTIATE_TEST_SUITE_P(Effects, SequenceTest, ::testing::Values(kTypingFile, kMorphingFile, kDigitalizerFile));

// ---------------------------------------------------------------- the typing record's document

// The typing plug-in in a folder of its own, bound to the test library so
// that destroying a cached document can be observed.
class BoundTypingPlugin {
public:
    explicit BoundTypingPlugin(bool withLibrary) {
        std::string file = folder_.Copy(kTypingPlugin, "ZOLQuillarine.AEX");
        if (withLibrary) library_ = folder_.Copy(kTestLibrary, "ZOLQuillarine.DLL");
        plugin_ = std::make_unique<LoadedPlugin>(file);
        if (plugin_->loaded()) (*plugin_)(PF_Cmd_GLOBAL_SETUP, setupHost_);
    }
    ~BoundTypingPlugin() {
        if (plugin_->loaded()) (*plugin_)(PF_Cmd_GLOBAL_SETDOWN, setupHost_);
    }
    LoadedPlugin& plugin() { return *plugin_; }

    // What the test library saw: how many documents it was asked to delete
    // and the last one.
    std::pair<int32_t, uint32_t> deletions() const {
        if (library_.empty()) return {0, 0};
        HMODULE lib = LoadLibraryA(library_.c_str());  // already loaded: the same module
        auto calls = reinterpret_cast<int32_t (*)()>(GetProcAddress(lib, "TestLibraryDeleteCalls"));
        auto last = reinterpret_cast<uint32_t (*)()>(GetProcAddress(lib, "TestLibraryLastDeleted"));
        std::pair<int32_t, uint32_t> seen{calls ? calls() : -1, last ? last() : 0};
        FreeLibrary(lib);
        return seen;
    }

private:
    fakehost::IsolatedRegistry registry_;
    TempFolder folder_;
    std::string library_;
    FakeHost setupHost_;
    std::unique_ptr<LoadedPlugin> plugin_;
};

TEST(TypingDocumentTest, FlattenDestroysTheCachedDocumentAndKeepsTheText) {
    BoundTypingPlugin typing(true);
    ASSERT_TRUE(typing.plugin().loaded());
    FakeHost host;
    Bytes tail = cat({text(kText), {0}});
    PF_Handle h = host.MakeHandle(typingRecord(23, 1280, 1, 0x00ABCDEF, tail));
    host.in.sequence_data = h;
    EXPECT_EQ(typing.plugin()(PF_Cmd_SEQUENCE_FLATTEN, host), PF_Err_NONE);
    EXPECT_EQ(typing.deletions(), (std::pair<int32_t, uint32_t>{1, 0x00ABCDEF}));
    EXPECT_EQ(host.Bytes(h), typingRecord(23, 0, 0, 0, tail));
    EXPECT_EQ(host.out.sequence_data, h);
    EXPECT_EQ(host.in.sequence_data, nullptr);
    EXPECT_EQ(host.lockedNow, 0);
}

TEST(TypingDocumentTest, FlattenWithoutADocumentDeletesNothing) {
    BoundTypingPlugin typing(true);
    FakeHost host;
    PF_Handle h = host.MakeHandle(typingRecord(3, 800, 1, 0, text("abc")));
    host.in.sequence_data = h;
    EXPECT_EQ(typing.plugin()(PF_Cmd_SEQUENCE_FLATTEN, host), PF_Err_NONE);
    EXPECT_EQ(typing.deletions().first, 0);
    EXPECT_EQ(host.Bytes(h), typingRecord(3, 0, 0, 0, text("abc")));
}

TEST(TypingDocumentTest, SetdownDestroysTheCachedDocument) {
    BoundTypingPlugin typing(true);
    FakeHost host;
    host.in.sequence_data = host.MakeHandle(typingRecord(3, 800, 0, 77, text("abc")));
    EXPECT_EQ(typing.plugin()(PF_Cmd_SEQUENCE_SETDOWN, host), PF_Err_NONE);
    EXPECT_EQ(typing.deletions(), (std::pair<int32_t, uint32_t>{1, 77}));
    EXPECT_EQ(host.LiveHandles(), 0u);
    EXPECT_EQ(host.in.sequence_data, nullptr);
    EXPECT_EQ(host.out.sequence_data, nullptr);
}

// Without the library no document can have been built; the cache fields are
// cleared all the same and nothing is called.
TEST(TypingDocumentTest, FlattenWithoutTheLibrary) {
    BoundTypingPlugin typing(false);
    FakeHost host;
    PF_Handle h = host.MakeHandle(typingRecord(3, 800, 1, 55, text("abc")));
    host.in.sequence_data = h;
    EXPECT_EQ(typing.plugin()(PF_Cmd_SEQUENCE_FLATTEN, host), PF_Err_NONE);
    EXPECT_EQ(host.Bytes(h), typingRecord(3, 0, 0, 0, text("abc")));
}

// ---------------------------------------------------------------- damaged records

struct DamagedCase {
    const char* name;
    Bytes stored;     // what the damaged project holds
    Bytes flattened;  // the same after flatten
    int32_t deletions;
};

std::ostream& operator<<(std::ostream& os, const DamagedCase& c) { return os << c.name; }

class DamagedRecordTest : public ::testing::TestWithParam<DamagedCase> {};

// The handles are exactly as large as the record, so any byte read or
// written past the end stops the sanitized build.
TEST_P(DamagedRecordTest, NeverReachesPastTheHandleAndKeepsWorking) {
    const DamagedCase& c = GetParam();
    BoundTypingPlugin typing(true);
    FakeHost host;
    PF_Handle h = host.MakeHandle(c.stored);
    host.in.sequence_data = h;
    EXPECT_EQ(typing.plugin()(PF_Cmd_SEQUENCE_RESETUP, host), PF_Err_NONE);
    EXPECT_EQ(host.Bytes(h), c.stored);
    EXPECT_EQ(typing.plugin()(PF_Cmd_SEQUENCE_FLATTEN, host), PF_Err_NONE);
    EXPECT_EQ(host.Bytes(h), c.flattened);
    EXPECT_EQ(typing.deletions().first, c.deletions);

    host.ResetCommandRecords();
    host.in.sequence_data = h;
    EXPECT_EQ(typing.plugin()(PF_Cmd_SEQUENCE_SETDOWN, host), PF_Err_NONE);
    EXPECT_EQ(host.LiveHandles(), 0u);
    EXPECT_EQ(host.lockedNow, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Records, DamagedRecordTest,
    ::testing::Values(
        DamagedCase{"TextLongerThanHandle", typingRecord(1000, 640, 1, 9, text("short")),
                    typingRecord(1000, 0, 0, 0, text("short")), 1},
        DamagedCase{"NegativeLength", typingRecord(-7, 640, 1, 0, text("x")), typingRecord(-7, 0, 0, 0, text("x")), 0},
        DamagedCase{"HeaderOnly", typingRecord(23, 640, 1, 0, {}), typingRecord(23, 0, 0, 0, {}), 0},
        DamagedCase{"CutInTheDocumentField", cat({le32(23), le32(640), le32(1), {9, 0}}),
                    cat({le32(23), le32(0), le32(0), {9, 0}}), 0},
        DamagedCase{"CutInTheWrapField", cat({le32(23), le32(640), {1, 0}}), cat({le32(23), le32(0), {1, 0}}), 0},
        DamagedCase{"ThreeBytes", {23, 0, 0}, {23, 0, 0}, 0},
        DamagedCase{"Empty", {}, {}, 0}));

}  // namespace
