// The parameter interplay of the real plug-ins: which controls each deciding
// parameter greys out or brings back, the refresh of all of them in order,
// and a host without the suite.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "fake_host.h"
#include "plugin_files.h"

namespace {

using fakehost::FakeHost;
using fakehost::LoadedPlugin;
using fakehost::Update;

using Indices = std::vector<int32_t>;

Indices span(int32_t first, int32_t last) {
    Indices v;
    for (int32_t i = first; i <= last; ++i) v.push_back(i);
    return v;
}

Indices join(std::initializer_list<Indices> parts) {
    Indices all;
    for (const Indices& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// 'E' enabled, 'D' disabled, '?' the two bits disagree.
std::map<int32_t, char> lastLooks(const std::vector<Update>& updates) {
    std::map<int32_t, char> looks;
    for (const Update& u : updates) {
        bool ui = u.ui_flags & PF_PUI_DISABLED;
        bool collapsed = u.flags & PF_ParamFlag_COLLAPSE_TWIRLY;
        looks[u.index] = ui != collapsed ? '?' : ui ? 'D' : 'E';
    }
    return looks;
}

std::map<int32_t, char> looks(const Indices& enabled, const Indices& disabled) {
    std::map<int32_t, char> m;
    for (int32_t i : enabled) m[i] = 'E';
    for (int32_t i : disabled) m[i] = 'D';
    return m;
}

// A plug-in with its parameters registered in the host's array.
class Registered {
public:
    explicit Registered(const char* path) : plugin_(path) {
        if (plugin_.loaded()) plugin_(PF_Cmd_PARAMS_SETUP, host);
        host.UseRegisteredParams();
        host.ResetCommandRecords();
    }
    bool ready() const { return plugin_.loaded() && host.params.size() > 1; }
    void set(int32_t index, int32_t value) { host.params.at(index).u.pd.value = value; }
    PF_Err changed(int32_t index) {
        PF_UserChangedParamExtra extra{index};
        return plugin_(PF_Cmd_USER_CHANGED_PARAM, host, &extra);
    }
    PF_Err refresh() { return plugin_(PF_Cmd_UPDATE_PARAMS_UI, host); }
    void expectCleanUpdates() {
        EXPECT_EQ(host.updatesWithHostDefinition, 0) << "the host's own definition was passed back";
        EXPECT_EQ(host.updatesWithForeignChanges, 0) << "a copy changed more than the two bits";
        EXPECT_EQ(host.badCalls, 0);
        EXPECT_EQ(host.acquires, host.releases);
    }

    FakeHost host;

private:
    LoadedPlugin plugin_;
};

// ---------------------------------------------------------------- typing, one rule at a time

enum : int32_t { kE = 2, kScrollingControl = 4, kRandomInvert = 10, kA = 17, kB = 18, kV = 33, kT = 40 };

struct TypingRuleCase {
    const char* name;
    int32_t changed;  // the index the host reports
    int32_t E, a, b, v, t;
    int32_t scrollingControl, randomInvert;
    Indices enabled, disabled;  // every other control gets no update
};

std::ostream& operator<<(std::ostream& os, const TypingRuleCase& c) { return os << c.name; }

class TypingRuleTest : public ::testing::TestWithParam<TypingRuleCase> {};

TEST_P(TypingRuleTest, UpdatesExactlyTheControlsOfTheRule) {
    const TypingRuleCase& c = GetParam();
    Registered typing(kTypingPlugin);
    ASSERT_TRUE(typing.ready());
    typing.set(kE, c.E);
    typing.set(kA, c.a);
    typing.set(kB, c.b);
    typing.set(kV, c.v);
    typing.set(kT, c.t);
    typing.set(kScrollingControl, c.scrollingControl);
    typing.set(kRandomInvert, c.randomInvert);

    EXPECT_EQ(typing.changed(c.changed), PF_Err_NONE);
    EXPECT_EQ(lastLooks(typing.host.updates), looks(c.enabled, c.disabled));
    EXPECT_EQ(typing.host.updates.size(), c.enabled.size() + c.disabled.size())
        << "a control was updated more than once";
    EXPECT_EQ(typing.host.acquires, 1);
    typing.expectCleanUpdates();
}

// The controls "Effect Type" sets for every type, before the sub-effects.
const Indices kScreen = span(16, 20);
const Indices kRunning = {32, 33, 34, 35};

TypingRuleCase effectType(const char* name, int32_t E, int32_t a, int32_t b, int32_t v, int32_t t,
                          Indices enabled, Indices disabled) {
    return {name, kE, E, a, b, v, t, 2, 1, std::move(enabled), std::move(disabled)};
}

INSTANTIATE_TEST_SUITE_P(
    EffectType, TypingRuleTest,
    ::testing::Values(
        effectType("StaticText", 1, 1, 1, 1, 1, {3, 8, 9}, join({{4}, kScreen, {23}, kRunning, {37}})),
        effectType("Scrolling", 2, 12, 12, 26, 8, {3, 4, 8, 9}, join({kScreen, {23}, kRunning, {37}})),
        effectType("PerspectiveScrolling", 4, 1, 1, 1, 1, {3, 4, 23}, join({{8, 9}, kScreen, kRunning, {37}})),
        effectType("VerticalLine", 6, 1, 1, 1, 1, {4, 8, 9}, join({{3}, kScreen, {23}, kRunning, {37}})),
        // Pages scrolling: the two effects decide, through M and m.
        effectType("PagesStaticScreens", 3, 1, 1, 1, 1, {3, 4, 8, 9, 16, 17, 18},
                   join({{19, 20, 21, 23}, kRunning, {37}})),
        effectType("PagesAssembleTurnDirectAndStatic", 3, 11, 1, 1, 1,
                   join({{3, 4, 8, 9, 16, 17, 18, 19, 21}, span(37, 42)}), join({{20, 23}, kRunning, {43}})),
        effectType("PagesAssembleLinesCursor", 3, 8, 8, 1, 2,
                   {3, 4, 8, 9, 16, 17, 18, 19, 20, 37, 38, 39, 40, 41}, join({{21, 23}, kRunning, {42, 43}})),
        effectType("PagesM4", 3, 4, 2, 1, 1, {3, 4, 8, 9, 16, 17, 18, 19, 20, 37, 39},
                   join({{21, 23}, kRunning, {40, 41, 42, 43}})),
        effectType("PagesPrintByLinesFirst", 3, 5, 1, 1, 1, {3, 4, 8, 9, 16, 17, 18, 19, 37, 39, 43},
                   join({{20, 21, 23}, kRunning, {40, 41, 42}})),
        effectType("PagesM6PrintSecond", 3, 6, 5, 1, 1, {3, 4, 8, 9, 16, 17, 18, 19, 20, 37, 38, 39, 43},
                   join({{21, 23}, kRunning, {40, 41, 42}})),
        effectType("PagesM7Typing", 3, 7, 1, 1, 2, {3, 4, 8, 9, 16, 17, 18, 19, 37, 39, 40},
                   join({{20, 21, 23}, kRunning, {41, 42, 43}})),
        effectType("PagesM7Flying", 3, 1, 7, 1, 3, join({{3, 4, 8, 9, 16, 17, 18, 20}, span(37, 42)}),
                   join({{19, 21, 23}, kRunning, {43}})),
        effectType("PagesM8Flying", 3, 8, 1, 1, 5, join({{3, 4, 8, 9, 16, 17, 18, 19}, span(37, 42)}),
                   join({{20, 21, 23}, kRunning, {43}})),
        effectType("PagesM9", 3, 9, 9, 1, 1, join({{3, 4, 8, 9, 16, 17, 18, 19, 20, 37}, span(39, 42)}),
                   join({{21, 23}, kRunning, {38, 43}})),
        effectType("PagesM10m9", 3, 10, 9, 1, 1, join({{3, 4, 8, 9, 16, 17, 18, 19, 20, 21, 37}, span(39, 42)}),
                   join({{23}, kRunning, {38, 43}})),
        effectType("PagesM12m12", 3, 12, 12, 1, 1, join({{3, 4, 8, 9, 16, 17, 18, 19, 20, 21, 37}, span(39, 42)}),
                   join({{23}, kRunning, {38, 43}})),
        effectType("PagesM10m1", 3, 10, 1, 1, 1, join({{3, 4, 8, 9, 16, 17, 18, 19, 21}, span(37, 42)}),
                   join({{20, 23}, kRunning, {43}})),
        // Creeping line: the running effect decides; 34, 35 and 43 are left alone.
        effectType("CreepingV1", 5, 1, 1, 1, 8, {3, 4, 8, 32, 33}, join({{9}, kScreen, {23}, span(37, 42)})),
        effectType("CreepingV2", 5, 1, 1, 2, 8, {3, 4, 8, 32, 33}, join({{9}, kScreen, {23}, span(37, 42)})),
        effectType("CreepingV11", 5, 1, 1, 11, 8, {3, 4, 8, 32, 33}, join({{9}, kScreen, {23}, span(37, 42)})),
        effectType("CreepingV3", 5, 1, 1, 3, 8, {3, 4, 8, 32, 33, 37, 38}, join({{9}, kScreen, {23}, span(39, 42)})),
        effectType("CreepingV14", 5, 1, 1, 14, 8, {3, 4, 8, 32, 33, 37, 38},
                   join({{9}, kScreen, {23}, span(39, 42)})),
        effectType("CreepingV6Typing", 5, 1, 1, 6, 2, join({{3, 4, 8, 32, 33}, span(37, 40)}),
                   join({{9}, kScreen, {23, 41, 42}})),
        effectType("CreepingV19Flying", 5, 1, 1, 19, 3, join({{3, 4, 8, 32, 33}, span(37, 42)}),
                   join({{9}, kScreen, {23}})),
        effectType("CreepingV20Typing", 5, 1, 1, 20, 1, join({{3, 4, 8, 32, 33}, {37, 38, 39, 41}}),
                   join({{9}, kScreen, {23, 40, 42}})),
        effectType("CreepingV24Flying", 5, 1, 1, 24, 8, join({{3, 4, 8, 32, 33}, {37, 38, 39, 41, 42}}),
                   join({{9}, kScreen, {23, 40}})),
        effectType("CreepingV25Typing", 5, 1, 1, 25, 2, join({{3, 4, 8, 32, 33}, span(37, 41)}),
                   join({{9}, kScreen, {23, 42}})),
        effectType("CreepingV26Flying", 5, 1, 1, 26, 3, join({{3, 4, 8, 32, 33}, span(37, 42)}),
                   join({{9}, kScreen, {23}}))));

TypingRuleCase otherRule(const char* name, int32_t changed, int32_t E, int32_t v, int32_t scrollingControl,
                         int32_t randomInvert, Indices enabled, Indices disabled) {
    return {name, changed, E, 1, 1, v, 1, scrollingControl, randomInvert, std::move(enabled), std::move(disabled)};
}

INSTANTIATE_TEST_SUITE_P(
    OtherRules, TypingRuleTest,
    ::testing::Values(otherRule("StaticByPhase", kScrollingControl, 1, 1, 1, 1, {}, {5, 6}),
                      otherRule("StaticBySpeed", kScrollingControl, 1, 1, 2, 1, {}, {5, 6}),
                      otherRule("ScrollingByPhase", kScrollingControl, 2, 1, 1, 1, {5}, {6}),
                      otherRule("ScrollingBySpeed", kScrollingControl, 2, 1, 2, 1, {6}, {5}),
                      otherRule("CreepingBySpeed", kScrollingControl, 5, 1, 2, 1, {6}, {5}),
                      otherRule("InvertNone", kRandomInvert, 1, 1, 2, 1, {}, {11, 12}),
                      otherRule("InvertLetters", kRandomInvert, 1, 1, 2, 2, {11, 12}, {}),
                      otherRule("InvertWords", kRandomInvert, 4, 1, 2, 3, {11, 12}, {}),
                      otherRule("RunningDelayHeadline", kV, 5, 2, 2, 1, {34, 35}, {}),
                      otherRule("RunningCreepingLine", kV, 5, 1, 2, 1, {}, {34, 35}),
                      otherRule("RunningOutsideCreeping", kV, 3, 5, 2, 1, {}, {34, 35})));

// Any other parameter decides nothing: no suite, no update.
class TypingNonDecidingTest : public ::testing::TestWithParam<int32_t> {};

TEST_P(TypingNonDecidingTest, SendsNoUpdate) {
    Registered typing(kTypingPlugin);
    ASSERT_TRUE(typing.ready());
    typing.set(kE, 3);
    typing.set(kA, 11);
    EXPECT_EQ(typing.changed(GetParam()), PF_Err_NONE);
    EXPECT_TRUE(typing.host.updates.empty());
    EXPECT_EQ(typing.host.acquires, 0);
}

INSTANTIATE_TEST_SUITE_P(Indices, TypingNonDecidingTest,
                         ::testing::Values(0, 1, 3, 5, 9, 11, 17, 18, 21, 34, 40, 43, 59, 60, -1, 1000));

// ---------------------------------------------------------------- typing, the refresh

struct RefreshCase {
    const char* name;
    int32_t E, a, b, v, t;
    bool startEnabled;
    Indices enabled, disabled;  // the final look of these
};

std::ostream& operator<<(std::ostream& os, const RefreshCase& c) {
    return os << c.name << (c.startEnabled ? "FromEnabled" : "FromDisabled");
}

class TypingRefreshTest : public ::testing::TestWithParam<RefreshCase> {};

TEST_P(TypingRefreshTest, RunsEveryRuleInOrder) {
    const RefreshCase& c = GetParam();
    Registered typing(kTypingPlugin);
    ASSERT_TRUE(typing.ready());
    typing.set(kE, c.E);
    typing.set(kA, c.a);
    typing.set(kB, c.b);
    typing.set(kV, c.v);
    typing.set(kT, c.t);
    typing.host.SetAllLooks(c.startEnabled);
    std::vector<PF_ParamDef> before = typing.host.params;

    EXPECT_EQ(typing.refresh(), PF_Err_NONE);
    for (int32_t i : c.enabled) EXPECT_TRUE(typing.host.Enabled(i)) << "index " << i;
    for (int32_t i : c.disabled) EXPECT_TRUE(typing.host.Disabled(i)) << "index " << i;
    // Controls no rule touches keep their look; no value changes.
    for (int32_t i : {1, 7, 13, 14, 15, 22, 24, 30, 31, 36, 44, 45, 50, 58, 59}) {
        EXPECT_EQ(typing.host.Enabled(i), c.startEnabled) << "index " << i;
        EXPECT_EQ(typing.host.Disabled(i), !c.startEnabled) << "index " << i;
    }
    for (size_t i = 0; i < before.size(); ++i) {
        PF_ParamDef now = typing.host.params[i];
        now.ui_flags = before[i].ui_flags;
        now.flags = before[i].flags;
        EXPECT_EQ(std::memcmp(&now, &before[i], sizeof now), 0) << "index " << i << " changed";
    }
    EXPECT_EQ(typing.host.acquires, 4);
    typing.expectCleanUpdates();
}

std::vector<RefreshCase> refreshCases() {
    std::vector<RefreshCase> cases;
    for (bool start : {true, false}) {
        // "Pages Scrolling", "Assemble Turn Direct" then "Static Screen", by
        // speed, no random inversion.
        cases.push_back({"PagesAssembleTurnDirect", 3, 11, 1, 1, 1, start, join({{19, 21}, span(37, 42), {6}}),
                         {20, 43, 5, 11, 12, 34, 35}});
        // The rule of "Running Effect" runs after that of "Effect Type".
        cases.push_back({"CreepingDelayHeadline", 5, 1, 1, 2, 1, start, {32, 33, 34, 35, 6}, span(37, 42)});
        // "Static Text" greys out both scrolling controls.
        cases.push_back({"StaticText", 1, 1, 1, 1, 1, start, {3, 8, 9}, {4, 5, 6, 11, 12, 16, 37}});
        // With static screens no rule touches 38 to 43: they keep their look.
        Indices addEffects = span(38, 43);
        cases.push_back({"PagesStaticScreens", 3, 1, 1, 1, 1, start,
                         start ? join({{16, 17, 18}, addEffects}) : Indices{16, 17, 18},
                         start ? Indices{19, 20, 21, 37} : join({{19, 20, 21, 37}, addEffects})});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, TypingRefreshTest, ::testing::ValuesIn(refreshCases()));

// ---------------------------------------------------------------- without the suite

struct NoSuiteCase {
    const char* name;
    bool basic, paramUtils;
};

std::ostream& operator<<(std::ostream& os, const NoSuiteCase& c) { return os << c.name; }

class NoSuiteTest : public ::testing::TestWithParam<NoSuiteCase> {};

TEST_P(NoSuiteTest, SkipsTheUpdatesSilently) {
    for (const char* path : {kTypingPlugin, kMorphingPlugin}) {
        Registered effect(path);
        ASSERT_TRUE(effect.ready());
        effect.host.offerBasicSuite = GetParam().basic;
        effect.host.offerParamUtils = GetParam().paramUtils;
        effect.host.ResetCommandRecords();
        effect.set(kE, 3);
        EXPECT_EQ(effect.changed(kE), PF_Err_NONE);
        EXPECT_EQ(effect.refresh(), PF_Err_NONE);
        EXPECT_TRUE(effect.host.updates.empty());
        EXPECT_EQ(effect.host.releases, 0) << "a suite that was never given was released";
    }
}

INSTANTIATE_TEST_SUITE_P(Hosts, NoSuiteTest,
                         ::testing::Values(NoSuiteCase{"NoBasicSuite", false, true},
                                           NoSuiteCase{"NoParamUtilsSuite", true, false}));

// ---------------------------------------------------------------- morphing

struct MorphCase {
    int32_t effectType;
    std::vector<std::pair<int32_t, char>> updates;  // in the order sent
};

std::ostream& operator<<(std::ostream& os, const MorphCase& c) { return os << "type " << c.effectType; }

std::vector<std::pair<int32_t, char>> sequence(const std::vector<Update>& updates) {
    std::vector<std::pair<int32_t, char>> s;
    for (const Update& u : updates) {
        bool ui = u.ui_flags & PF_PUI_DISABLED;
        bool collapsed = u.flags & PF_ParamFlag_COLLAPSE_TWIRLY;
        s.push_back({u.index, ui != collapsed ? '?' : ui ? 'D' : 'E'});
    }
    return s;
}

class MorphingRuleTest : public ::testing::TestWithParam<MorphCase> {};

TEST_P(MorphingRuleTest, ScrollingSpeedAndMorphAndRotate) {
    Registered morphing(kMorphingPlugin);
    ASSERT_TRUE(morphing.ready());
    morphing.set(kE, GetParam().effectType);
    EXPECT_EQ(morphing.changed(kE), PF_Err_NONE);
    EXPECT_EQ(sequence(morphing.host.updates), GetParam().updates);
    morphing.expectCleanUpdates();

    // The refresh runs the same rule, once.
    morphing.host.updates.clear();
    morphing.host.acquires = morphing.host.releases = 0;
    EXPECT_EQ(morphing.refresh(), PF_Err_NONE);
    EXPECT_EQ(sequence(morphing.host.updates), GetParam().updates);
    EXPECT_EQ(morphing.host.acquires, 1);
}

const std::vector<std::pair<int32_t, char>> kScrollingLooks = {{11, 'E'}, {12, 'D'}};
const std::vector<std::pair<int32_t, char>> kMorphingLooks = {{12, 'E'}, {11, 'D'}};
const std::vector<std::pair<int32_t, char>> kNeither = {{11, 'D'}, {12, 'D'}};

INSTANTIATE_TEST_SUITE_P(
    EffectTypes, MorphingRuleTest,
    ::testing::Values(MorphCase{1, kNeither}, MorphCase{2, kScrollingLooks}, MorphCase{3, kNeither},
                      MorphCase{4, kScrollingLooks}, MorphCase{5, kNeither}, MorphCase{6, kScrollingLooks},
                      MorphCase{7, kNeither}, MorphCase{8, kMorphingLooks}, MorphCase{9, kMorphingLooks},
                      MorphCase{10, kMorphingLooks}, MorphCase{0, kNeither}, MorphCase{11, kNeither}));

class MorphingNonDecidingTest : public ::testing::TestWithParam<int32_t> {};

TEST_P(MorphingNonDecidingTest, SendsNoUpdate) {
    Registered morphing(kMorphingPlugin);
    ASSERT_TRUE(morphing.ready());
    morphing.set(kE, 10);
    EXPECT_EQ(morphing.changed(GetParam()), PF_Err_NONE);
    EXPECT_TRUE(morphing.host.updates.empty());
    EXPECT_EQ(morphing.host.acquires, 0);
}

INSTANTIATE_TEST_SUITE_P(Indices, MorphingNonDecidingTest, ::testing::Values(0, 1, 3, 4, 11, 12, 14, 30, 31, -1));

// ---------------------------------------------------------------- digitalizer

TEST(DigitalizerInterplayTest, NothingGreysOut) {
    Registered digitalizer(kDigitalizerPlugin);
    ASSERT_TRUE(digitalizer.ready());
    for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(digitalizer.changed(i), PF_Err_NONE);
    EXPECT_EQ(digitalizer.refresh(), PF_Err_NONE);
    EXPECT_TRUE(digitalizer.host.updates.empty());
    EXPECT_EQ(digitalizer.host.acquires, 0);
}

}  // namespace
