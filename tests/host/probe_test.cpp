// The host core against the probe plug-in: what the host does for a plug-in
// (callbacks, suites, handles, values over time, sequence data) checked from
// the plug-in's side.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "host/core/callbacks.h"
#include "host/core/error.h"
#include "host/core/handles.h"
#include "host/core/instance.h"
#include "host/core/plugin.h"
#include "host/core/session.h"
#include "platform/win/winapi.h"

using namespace zolhost;

namespace {

constexpr PF_Err kIncompleteInData = -9001;
constexpr PF_Err kRefusedAction = -4242;
enum ProbeParam { kAction = 1, kAmount, kCount, kWhere, kTint, kTurn, kEnabled, kGroup, kNext, kGroupEnd };
enum ProbeAction { kNone = 1, kGrowData, kFail, kCheckout, kDisableNext, kRewriteValue, kBadCheckin };

Value choice(int32_t n) {
    Value v;
    v.i = n;
    return v;
}
Value amount(double d) {
    Value v;
    v.d = d;
    return v;
}

class Probe : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("PROBE_FAIL");
        handles::setRefuse(false);
        liveBefore_ = handles::liveCount();
        plugin_ = Plugin::load(ZOL_PROBE_PLUGIN, comp_);
    }
    void TearDown() override {
        instance_.reset();
        plugin_.reset();
        unsetenv("PROBE_FAIL");
        handles::setRefuse(false);
        EXPECT_EQ(handles::liveCount(), liveBefore_) << "handles leaked";
        EXPECT_EQ(suitesHeld(), 0) << "a suite was not released";
    }
    Instance& make() {
        instance_ = std::make_unique<Instance>(*plugin_, comp_);
        EXPECT_EQ(instance_->setup(), PF_Err_NONE);
        return *instance_;
    }
    PF_Err act(ProbeAction a, int32_t frame = 0) {
        instance_->setValue(kAction, choice(a));
        return instance_->userChangedParam(kAction, frame);
    }
    std::vector<double> series() {
        auto bytes = instance_->sequenceBytes();
        EXPECT_GE(bytes.size(), 8u);
        EXPECT_EQ(std::memcmp(bytes.data(), "SERIES", 6), 0);
        std::vector<double> out((bytes.size() - 8) / sizeof(double));
        std::memcpy(out.data(), bytes.data() + 8, out.size() * sizeof(double));
        return out;
    }

    Composition comp_{1280, 720, 30, 150};
    std::unique_ptr<Plugin> plugin_;
    std::unique_ptr<Instance> instance_;
    size_t liveBefore_ = 0;
};

TEST_F(Probe, LoadsPropertiesAndDefinitionsWithTheHostsLayerFirst) {
    EXPECT_EQ(plugin_->name(), "ZOL Host Probe");
    EXPECT_EQ(plugin_->properties().category, "Host Tests");
    EXPECT_EQ(plugin_->numParams(), 11);
    ASSERT_EQ(plugin_->definitions().size(), 11u);
    EXPECT_EQ(plugin_->definitions()[0].param_type, PF_Param_LAYER);
    const PF_ParamDef& popup = plugin_->definitions()[kAction];
    EXPECT_STREQ(popup.u.pd.choices, "None|Grow Data|Fail|Checkout|Disable Next|Rewrite Value|Bad Checkin");
    EXPECT_STREQ(plugin_->definitions()[kEnabled].u.bd.label, "on");
}

TEST_F(Probe, EveryCommandGetsACompleteInData) {
    // The probe answers -9001 to any in_data with a missing callback, clock or size.
    Instance& inst = make();
    for (PF_Cmd cmd : std::initializer_list<PF_Cmd>{PF_Cmd_ABOUT, 2, PF_Cmd_DO_DIALOG, 10, PF_Cmd_RENDER, 12, PF_Cmd_UPDATE_PARAMS_UI,
                       PF_Cmd_EVENT, 16, 99})
        EXPECT_NE(inst.send(cmd), kIncompleteInData) << "command " << cmd;
    std::vector<uint8_t> flat;
    EXPECT_EQ(inst.flatten(flat), PF_Err_NONE);
    EXPECT_EQ(inst.setdown(), PF_Err_NONE);
}

TEST_F(Probe, PointDefaultsInPercentBecomeLayerPixels) {
    Instance& inst = make();
    Value where = inst.valueAt(kWhere, 0);
    EXPECT_EQ(where.x, 320 * PF_FIXED_ONE);  // 25 % of 1280
    EXPECT_EQ(where.y, 540 * PF_FIXED_ONE);  // 75 % of 720
    EXPECT_EQ(inst.params()[kWhere].def.u.td.x_dflt, 25 * PF_FIXED_ONE) << "the default itself stays percent";
}

TEST_F(Probe, FlattenKeepsTheWholeHandleNotTheStaleFlatSize) {
    Instance& inst = make();
    ASSERT_EQ(act(kGrowData), PF_Err_NONE);
    EXPECT_EQ(inst.flatSize(), 8) << "the probe leaves the setup size in place";
    std::vector<uint8_t> flat;
    ASSERT_EQ(inst.flatten(flat), PF_Err_NONE);
    ASSERT_EQ(flat.size(), 108u);
    EXPECT_EQ(std::memcmp(flat.data(), "PROBE", 5), 0);
    EXPECT_EQ(flat.back(), 0xAB);
    EXPECT_EQ(inst.sequenceBytes(), flat) << "the instance goes on with its record after flattening";
}

TEST_F(Probe, PluginErrorsComeBackWithTheirMessage) {
    Instance& inst = make();
    EXPECT_EQ(act(kFail), kRefusedAction);
    EXPECT_EQ(inst.lastMessage(), "probe refused the action");
    try {
        checkResult(kRefusedAction, *plugin_, PF_Cmd_USER_CHANGED_PARAM, &inst);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "ZOL Host Probe: parameter change failed with error -4242: probe refused the action");
    }
}

struct SeriesCase {
    const char* what;
    double fps;
    std::vector<Keyframe> keys;
    std::vector<double> expected;  // "Amount" at frames 0 .. 4
};

class CheckoutSeries : public Probe, public ::testing::WithParamInterface<SeriesCase> {};

TEST_P(CheckoutSeries, GivesTheValueAtEachFrame) {
    comp_.fps = GetParam().fps;
    plugin_ = Plugin::load(ZOL_PROBE_PLUGIN, comp_);
    Instance& inst = make();
    inst.setKeyframes(kAmount, GetParam().keys);
    ASSERT_EQ(act(kCheckout, 3), PF_Err_NONE);
    EXPECT_EQ(series(), GetParam().expected) << GetParam().what;
    EXPECT_EQ(inst.checkedOut(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckoutSeries,
    ::testing::Values(SeriesCase{"static", 30, {}, {1.5, 1.5, 1.5, 1.5, 1.5}},
                      SeriesCase{"ramp", 30, {{0, amount(0)}, {4, amount(4)}}, {0, 1, 2, 3, 4}},
                      SeriesCase{"hold outside the keys", 25, {{1, amount(-2)}, {3, amount(2)}}, {-2, -2, 0, 2, 2}},
                      SeriesCase{"a rate that is not whole", 29.97, {{0, amount(0)}, {2, amount(1)}},
                                 {0, 0.5, 1, 1, 1}}));

TEST_F(Probe, UpdateParamUIStoresBothFlagsInTheInstance) {
    Instance& inst = make();
    ASSERT_TRUE(inst.enabled(kNext));
    ASSERT_EQ(act(kDisableNext), PF_Err_NONE);
    EXPECT_FALSE(inst.enabled(kNext));
    EXPECT_EQ(inst.params()[kNext].def.flags & PF_ParamFlag_COLLAPSE_TWIRLY, PF_ParamFlag_COLLAPSE_TWIRLY);
    EXPECT_TRUE(inst.enabled(kAmount)) << "another control changed";
}

TEST_F(Probe, ARewrittenValueIsKeptStaticOrAsAKeyframe) {
    Instance& inst = make();
    ASSERT_EQ(act(kRewriteValue), PF_Err_NONE);
    EXPECT_EQ(inst.valueAt(kCount, 0).i, 42);
    EXPECT_TRUE(inst.params()[kCount].keys.empty());

    Value three;
    three.i = 3;
    inst.setKeyframes(kCount, {{0, three}});
    ASSERT_EQ(act(kRewriteValue, 20), PF_Err_NONE);
    ASSERT_EQ(inst.params()[kCount].keys.size(), 2u);
    EXPECT_EQ(inst.valueAt(kCount, 0).i, 3);
    EXPECT_EQ(inst.valueAt(kCount, 20).i, 42);
}

TEST_F(Probe, CheckinWithoutCheckoutIsRefused) {
    make();
    EXPECT_EQ(act(kBadCheckin), PF_Err_BAD_CALLBACK_PARAM);
}

TEST_F(Probe, RefusedHandleMakesSetupFailWithOutOfMemory) {
    instance_ = std::make_unique<Instance>(*plugin_, comp_);
    handles::setRefuse(true);
    EXPECT_EQ(instance_->setup(), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(instance_->sequenceData(), nullptr);
    handles::setRefuse(false);
    EXPECT_EQ(instance_->resetup(nullptr), PF_Err_NONE) << "resetup without a record makes one";
    EXPECT_EQ(instance_->sequenceBytes().size(), 8u);
}

struct FailingLoad {
    const char* command;
    const char* message;
};

class FailingLoads : public Probe, public ::testing::WithParamInterface<FailingLoad> {};

TEST_P(FailingLoads, AreReportedAndUnloadCleanly) {
    setenv("PROBE_FAIL", GetParam().command, 1);
    try {
        Plugin::load(ZOL_PROBE_PLUGIN, comp_);
        ADD_FAILURE() << "loaded";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, FailingLoads,
                         ::testing::Values(FailingLoad{"1", "ZOL Host Probe: global setup failed with error -4242"},
                                           FailingLoad{"4", "ZOL Host Probe: parameter setup failed with error -4242"}));

TEST_F(Probe, SessionRoundTripKeepsValuesKeysFlagsAndRecord) {
    auto s = newSession(ZOL_PROBE_PLUGIN, comp_);
    Instance& inst = *s->instance;
    inst.setValue(kAction, choice(kGrowData));
    ASSERT_EQ(inst.userChangedParam(kAction), PF_Err_NONE);
    inst.setValue(kAction, choice(kDisableNext));
    ASSERT_EQ(inst.userChangedParam(kAction), PF_Err_NONE);
    inst.setKeyframes(kAmount, {{0, amount(-1)}, {90, amount(2.25)}});
    Value tint;
    tint.color = PF_Pixel{128, 1, 2, 3};
    inst.setValue(kTint, tint);
    ProjectData data = captureProject(*s);
    ASSERT_TRUE(data.sequenceData);
    EXPECT_EQ(data.sequenceData->size(), 108u);

    auto back = openProject(data);
    Instance& again = *back->instance;
    EXPECT_EQ(again.sequenceBytes(), *data.sequenceData);
    EXPECT_FALSE(again.enabled(kNext));
    EXPECT_EQ(again.params()[kAmount].keys, inst.params()[kAmount].keys);
    EXPECT_EQ(again.valueAt(kTint, 0), tint) << "a colour's alpha survives the project";
    EXPECT_EQ(again.valueAt(kAction, 0).i, kDisableNext);
}

TEST_F(Probe, AProjectForAnotherEffectOrWithWrongNamesIsRefused) {
    auto s = newSession(ZOL_PROBE_PLUGIN, comp_);
    ProjectData data = captureProject(*s);
    s.reset();
    ProjectData other = data;
    other.effectName = "ZOL Morphing";
    EXPECT_THROW(openProject(other), Error);
    ProjectData renamed = data;
    renamed.params[1].name = "Quantity";
    try {
        openProject(renamed);
        ADD_FAILURE() << "opened";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "parameter 2 is \"Amount\", not \"Quantity\"");
    }
    ProjectData outOfRange = data;
    outOfRange.params[1].value = 11.0;
    try {
        openProject(outOfRange);
        ADD_FAILURE() << "opened";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "parameter \"Amount\" (2): 11 is out of range (-10 to 10)");
    }
}

// ---------------------------------------------------------------- callbacks called directly

TEST_F(Probe, ForgedEffectReferencesAreRefused) {
    PF_InteractCallbacks inter = interactCallbacks();
    PF_UtilCallbacks utils = utilCallbacks();
    PF_ProgPtr forged = reinterpret_cast<PF_ProgPtr>(uintptr_t{0xDEAD0});
    PF_ParamDef def{};
    def.param_type = PF_Param_CHECKBOX;
    EXPECT_EQ(inter.add_param(forged, -1, &def), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(inter.checkout_param(forged, 1, 0, 1, 30, &def), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(inter.checkout_param(nullptr, 1, 0, 1, 30, &def), PF_Err_BAD_CALLBACK_PARAM);
    HWND w = nullptr;
    EXPECT_EQ(utils.get_platform_data(forged, PF_PlatData_MAIN_WND, &w), PF_Err_BAD_CALLBACK_PARAM);
    const void* suite = nullptr;
    ASSERT_EQ(basicSuiteService()->AcquireSuite(kPFParamUtilsSuite, 1, &suite), PF_Err_NONE);
    EXPECT_EQ(static_cast<const PF_ParamUtilsSuite1*>(suite)->PF_UpdateParamUI(forged, 1, &def),
              PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(basicSuiteService()->ReleaseSuite(kPFParamUtilsSuite, 1), PF_Err_NONE);
}

TEST_F(Probe, SuitesAreFoundByNameAndVersionOnly) {
    const void* suite = reinterpret_cast<const void*>(1);
    EXPECT_NE(basicSuiteService()->AcquireSuite(kPFParamUtilsSuite, 2, &suite), PF_Err_NONE);
    EXPECT_EQ(suite, nullptr);
    EXPECT_NE(basicSuiteService()->AcquireSuite("PF Other Suite", 1, &suite), PF_Err_NONE);
    EXPECT_NE(basicSuiteService()->ReleaseSuite(kPFParamUtilsSuite, 1), PF_Err_NONE) << "released what nobody held";
}

TEST_F(Probe, PlatformDataGivesTheMainWindowOnly) {
    Instance& inst = make();
    PF_UtilCallbacks utils = utilCallbacks();
    HWND w = nullptr;
    ASSERT_EQ(utils.get_platform_data(inst.effectRef(), PF_PlatData_MAIN_WND, &w), PF_Err_NONE);
    EXPECT_EQ(w, ZolHostMainWindow());
    EXPECT_NE(w, nullptr);
    EXPECT_EQ(utils.get_platform_data(inst.effectRef(), 77, &w), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(utils.get_platform_data(inst.effectRef(), PF_PlatData_MAIN_WND, nullptr), PF_Err_BAD_CALLBACK_PARAM);
}

TEST(NameCopy, FillsTheFieldButNeverWritesPastIt) {
    PF_UtilCallbacks utils = utilCallbacks();
    char name[PF_MAX_PARAM_NAME_LEN + 8];
    std::memset(name, 'x', sizeof name);
    EXPECT_EQ(utils.ansi.strcpy(name, "Leading (Interval between Lines) and more"), name);
    EXPECT_EQ(std::string(name, strnlen(name, PF_MAX_PARAM_NAME_LEN)), "Leading (Interval between Lines)");
    EXPECT_EQ(name[32], 'x') << "wrote past the name field";
    std::memset(name, 'x', sizeof name);
    utils.ansi.strcpy(name, "Leading (Interval between Lines)");
    EXPECT_EQ(name[32], 'x') << "a name that fills the field has no room for a terminator";
    EXPECT_STREQ(utils.ansi.strcpy(name, "Wrap"), "Wrap");
    EXPECT_STREQ(utils.ansi.strcpy(name, nullptr), "");
    EXPECT_EQ(utils.ansi.strcpy(nullptr, "Wrap"), nullptr);
}

}  // namespace
