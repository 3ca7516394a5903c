// Parameter registration of the real plug-ins: every definition the host
// receives, the count, the custom UI, and a host that refuses one of them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fake_host.h"
#include "plugin_files.h"

namespace {

using fakehost::FakeHost;
using fakehost::LoadedPlugin;

struct ExpectedParam {
    int32_t index;
    PF_ParamType type;
    const char* name;
    double validMin, validMax, sliderMin, sliderMax;
    double dflt;  // popup number, checkbox 0/1, slider or angle value
    int precision;
    bool percent;
    const char* choices;
    int numChoices;
    int xPercent, yPercent;  // point defaults
};

const std::vector<ExpectedParam> kTypingParams = {
    {1, PF_Param_NO_DATA, "Information", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {2, PF_Param_POPUP, "Effect Type", 0, 0, 0, 0, 1, 0, false, "Static Text|Scrolling|Pages Scrolling|Perspective Scrolling|Creeping Line|Vertical Line", 6, 0, 0},
    {3, PF_Param_CHECKBOX, "Wrap", 0, 0, 0, 0, 1, 0, false, nullptr, 0, 0, 0},
    {4, PF_Param_POPUP, "Scrolling Control", 0, 0, 0, 0, 2, 0, false, "By Phase|By Speed", 2, 0, 0},
    {5, PF_Param_FLOAT_SLIDER, "Phase", 0, 1, 0, 1, 0.2, 4, false, nullptr, 0, 0, 0},
    {6, PF_Param_FLOAT_SLIDER, "Speed (Pixs/Frame)", -100, 100, -10, 10, 1, 6, false, nullptr, 0, 0, 0},
    {7, PF_Param_CHECKBOX, "Hight Quality of Antialiasing", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {8, PF_Param_GROUP_START, "Common Text parameters", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {9, PF_Param_FLOAT_SLIDER, "Leading (Interval between Lines)", 0.01, 1000, 10, 500, 100, 2, true, nullptr, 0, 0, 0},
    {10, PF_Param_POPUP, "Random Invert", 0, 0, 0, 0, 1, 0, false, "None|Apply to Letters|Apply to Words", 3, 0, 0},
    {11, PF_Param_FLOAT_SLIDER, "Invert Density", 0, 1, 0, 1, 0.5, 3, false, nullptr, 0, 0, 0},
    {12, PF_Param_SLIDER, "Random Seed", 0, 1000, 0, 255, 0, 0, false, nullptr, 0, 0, 0},
    {13, PF_Param_CHECKBOX, "Invert Paragraph", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {14, PF_Param_CHECKBOX, "Invert Headline", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {15, PF_Param_GROUP_END, "", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {16, PF_Param_GROUP_START, "Scrolling Screen", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {17, PF_Param_POPUP, "First Scrolling Effect", 0, 0, 0, 0, 1, 0, false, "Static Screen|Fade In All|Run All|Type By Lines|Print By Lines|Fade In By Lines|Type By Letter|Assemble Lines|Assemble All | Assemble Direct|Assemble Turn Direct|Assemble All Directs", 12, 0, 0},
    {18, PF_Param_POPUP, "Second Scrolling Effect", 0, 0, 0, 0, 1, 0, false, "Static Screen|Fade Out All|Run All|Erase By Lines|Print By Lines|Fade Out By Lines|Erase By letter|Disassemble Lines|Disassemble All| Assemble Direct|Assemble Turn Direct|Assemble All Directs", 12, 0, 0},
    {19, PF_Param_FLOAT_SLIDER, "Speed of First Effect", -20, 20, -1, 10, 1, 3, false, nullptr, 0, 0, 0},
    {20, PF_Param_FLOAT_SLIDER, "Speed of Second Effect", -20, 20, -1, 10, 1, 3, false, nullptr, 0, 0, 0},
    {21, PF_Param_ANGLE, "Direction", 0, 0, 0, 0, 30, 0, false, nullptr, 0, 0, 0},
    {22, PF_Param_GROUP_END, "", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {23, PF_Param_GROUP_START, "Perspective Scrolling", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {24, PF_Param_POINT, "First Point", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 50, 25},
    {25, PF_Param_POINT, "Second Point", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 50, 75},
    {26, PF_Param_SLIDER, "Numbers of Lines", 0, 1000, 0, 255, 10, 0, false, nullptr, 0, 0, 0},
    {27, PF_Param_FLOAT_SLIDER, "Perspective", -20, 20, 0, 10, 2, 3, false, nullptr, 0, 0, 0},
    {28, PF_Param_FLOAT_SLIDER, "Add Scale", 0, 20, 0.1, 10, 1, 3, false, nullptr, 0, 0, 0},
    {29, PF_Param_CHECKBOX, "Parabola", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {30, PF_Param_FLOAT_SLIDER, "Transparency Zone", 0, 10, 0, 0.8, 0.8, 3, false, nullptr, 0, 0, 0},
    {31, PF_Param_GROUP_END, "", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {32, PF_Param_GROUP_START, "Running Line", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {33, PF_Param_POPUP, "Running Effect", 0, 0, 0, 0, 1, 0, false, "Creeping Line|Delay Headline|Creeping & Fade Out Headline|Fade In & Run Headline|Fade In & Fade Out Headline|Type & Creeping Headline|Creeping & Erase Headline|Type & Erase Headline|Type & Fade Out Headline|Fade In & Erase Headline|Dellay All Lines|Creeping & Fade Out All Lines|Fade In & Creeping All Lines|Fade In & Fade Out All Lines|Type & Erase All Lines|Type & Creeping All Lines|Creeping & Erase All Lines|Type & Fade Out|Fade In & Erase|Assemble & Disass. All Lines|Assemble & Creeping All Lines|Creeping & Disass. All Lines|Assemble & Fade Out All Lines|Fade In & Disass. All Lines|Type & Disass. All Lines|Assemble & Erase All Lines", 26, 0, 0},
    {34, PF_Param_FLOAT_SLIDER, "Space Size", 0, 1000, 0, 200, 100, 2, true, nullptr, 0, 0, 0},
    {35, PF_Param_FLOAT_SLIDER, "Delay", 0, 1000, 0, 300, 100, 2, true, nullptr, 0, 0, 0},
    {36, PF_Param_GROUP_END, "", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {37, PF_Param_GROUP_START, "Add Effects", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {38, PF_Param_FLOAT_SLIDER, "Speed of Effect", -20, 20, -1, 10, 1, 3, false, nullptr, 0, 0, 0},
    {39, PF_Param_FLOAT_SLIDER, "Strength of Effect", -20, 20, -10, 10, 1, 3, false, nullptr, 0, 0, 0},
    {40, PF_Param_POPUP, "Typing Effects", 0, 0, 0, 0, 1, 0, false, "None|Cursor|Direct Fly|Direct Fly 1|Fly Chaos|Fly Chaos 1|Direct & Chaos Fly|Chaos & Direct Fly", 8, 0, 0},
    {41, PF_Param_FLOAT_SLIDER, "Rotation Speed", -100, 100, -10, 10, 0, 3, false, nullptr, 0, 0, 0},
    {42, PF_Param_FLOAT_SLIDER, "Perspective Scale", -100, 100, -10, 10, 0, 3, false, nullptr, 0, 0, 0},
    {43, PF_Param_FLOAT_SLIDER, "Print Size", 0.01, 1, 0.1, 1, 1, 3, false, nullptr, 0, 0, 0},
    {44, PF_Param_GROUP_END, "", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {45, PF_Param_GROUP_START, "Jitters", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {46, PF_Param_FLOAT_SLIDER, "Speed of Jitters", -20, 20, -1, 1, 0.1, 3, false, nullptr, 0, 0, 0},
    {47, PF_Param_FLOAT_SLIDER, "Frequency of Jitters", 0, 100, 0, 20, 1, 3, false, nullptr, 0, 0, 0},
    {48, PF_Param_SLIDER, "Seed", 0, 1000, 0, 255, 10, 0, false, nullptr, 0, 0, 0},
    {49, PF_Param_POPUP, "Type of Offset Jitter", 0, 0, 0, 0, 1, 0, false, "None|Chaos Jump|Swing|Swing Vertical|Wave|Chaos Wave", 6, 0, 0},
    {50, PF_Param_FLOAT_SLIDER, "Offset Value", -20, 20, -10, 10, 1, 3, false, nullptr, 0, 0, 0},
    {51, PF_Param_POPUP, "Type of Scale Jitter", 0, 0, 0, 0, 1, 0, false, "None|Chaos Scale|Swing|Wave|Chaos Wave|Running", 6, 0, 0},
    {52, PF_Param_FLOAT_SLIDER, "Scale Value", 0.01, 10, 0.1, 4, 1, 3, false, nullptr, 0, 0, 0},
    {53, PF_Param_CHECKBOX, "Scale without move", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {54, PF_Param_POPUP, "Type of Color Jitter", 0, 0, 0, 0, 1, 0, false, "None|Chaos Color|Swing|Wave|Chaos Wave|Running", 6, 0, 0},
    {55, PF_Param_FLOAT_SLIDER, "Color Value", 0, 1000, 0, 500, 1, 3, false, nullptr, 0, 0, 0},
    {56, PF_Param_POPUP, "Type of Rotation Jitter", 0, 0, 0, 0, 1, 0, false, "None|Chaos Rotate|Swing|Wave|Chaos Wave|Running", 6, 0, 0},
    {57, PF_Param_FLOAT_SLIDER, "Rotation Amount", -720, 720, -90, 90, 30, 3, false, nullptr, 0, 0, 0},
    {58, PF_Param_GROUP_END, "", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {59, PF_Param_NO_DATA, "Files Preset", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
};

const std::vector<ExpectedParam> kMorphingParams = {
    {1, PF_Param_NO_DATA, "Information", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {2, PF_Param_POPUP, "Effect Type", 0, 0, 0, 0, 2, 0, false, "No Effect|Scrolling|Ordered Scrolling|Lines Scrolling|Lines Ordered Scrolling|Scrolling All|Ordered Scrolling All|Morphing|Lines Morphing|Morphing All", 10, 0, 0},
    {3, PF_Param_POPUP, "Scrolling Control", 0, 0, 0, 0, 2, 0, false, "By Phase|By Speed", 2, 0, 0},
    {4, PF_Param_FLOAT_SLIDER, "Phase", 0, 1, 0, 1, 0.2, 4, false, nullptr, 0, 0, 0},
    {5, PF_Param_FLOAT_SLIDER, "Speed (Pixs/Frame)", -100, 100, -10, 10, 1, 6, false, nullptr, 0, 0, 0},
    {6, PF_Param_GROUP_START, "Common Text Parameters", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {7, PF_Param_CHECKBOX, "Wrap", 0, 0, 0, 0, 1, 0, false, nullptr, 0, 0, 0},
    {8, PF_Param_POPUP, "Kerning Type", 0, 0, 0, 0, 2, 0, false, "By First Text|Fixing Width|Self", 3, 0, 0},
    {9, PF_Param_FLOAT_SLIDER, "Fixed Leaving", 0.01, 100, 1, 50, 10, 2, false, nullptr, 0, 0, 0},
    {10, PF_Param_FLOAT_SLIDER, "Leading (Interval between Lines)", 0.01, 1000, 10, 500, 100, 2, true, nullptr, 0, 0, 0},
    {11, PF_Param_FLOAT_SLIDER, "Scrolling Speed", 0, 100, 0, 100, 100, 6, true, nullptr, 0, 0, 0},
    {12, PF_Param_CHECKBOX, "Morph & Rotate", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {13, PF_Param_FLOAT_SLIDER, "Scale Effect", -100, 100, -100, 100, 0, 6, true, nullptr, 0, 0, 0},
    {14, PF_Param_POPUP, "Morphing Color", 0, 0, 0, 0, 3, 0, false, "First Color|Second Color|Morphing Color|Random Color|Custom Color", 5, 0, 0},
    {15, PF_Param_COLOR, "Custom Color", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {16, PF_Param_GROUP_END, "", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {17, PF_Param_GROUP_START, "Jitters", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {18, PF_Param_FLOAT_SLIDER, "Speed of Jitters", -20, 20, -1, 1, 0.1, 3, false, nullptr, 0, 0, 0},
    {19, PF_Param_FLOAT_SLIDER, "Frequency of Jitters", 0, 100, 0, 20, 1, 3, false, nullptr, 0, 0, 0},
    {20, PF_Param_SLIDER, "Seed", 0, 1000, 0, 255, 10, 0, false, nullptr, 0, 0, 0},
    {21, PF_Param_POPUP, "Type of Offset Jitter", 0, 0, 0, 0, 1, 0, false, "None|Chaos Jump|Swing|Swing Vertical|Wave|Chaos Wave", 6, 0, 0},
    {22, PF_Param_FLOAT_SLIDER, "Offset Value", -20, 20, -10, 10, 1, 3, false, nullptr, 0, 0, 0},
    {23, PF_Param_POPUP, "Type of Scale Jitter", 0, 0, 0, 0, 1, 0, false, "None|Chaos Scale|Swing|Wave|Chaos Wave|Running", 6, 0, 0},
    {24, PF_Param_FLOAT_SLIDER, "Scale Value", 0.01, 10, 0.1, 4, 1, 3, false, nullptr, 0, 0, 0},
    {25, PF_Param_CHECKBOX, "Scale withaut move", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {26, PF_Param_POPUP, "Type of Color Jitter", 0, 0, 0, 0, 1, 0, false, "None|Chaos Color|Swing|Wave|Chaos Wave|Running", 6, 0, 0},
    {27, PF_Param_FLOAT_SLIDER, "Color Value", 0, 1000, 0, 500, 1, 3, false, nullptr, 0, 0, 0},
    {28, PF_Param_POPUP, "Type of Rotation Jitter", 0, 0, 0, 0, 1, 0, false, "None|Chaos Rotate|Swing|Wave|Chaos Wave|Running", 6, 0, 0},
    {29, PF_Param_FLOAT_SLIDER, "Rotation Value", -720, 720, -90, 90, 30, 3, false, nullptr, 0, 0, 0},
    {30, PF_Param_GROUP_END, "", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
};

const std::vector<ExpectedParam> kDigitalizerParams = {
    {1, PF_Param_NO_DATA, "Information", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {2, PF_Param_FLOAT_SLIDER, "Scale Fonts", 0.01, 10, 0.5, 2.5, 1, 4, false, nullptr, 0, 0, 0},
    {3, PF_Param_FLOAT_SLIDER, "Offset", -1, 1, -0.5, 0.5, 0, 4, false, nullptr, 0, 0, 0},
    {4, PF_Param_FLOAT_SLIDER, "Leaving", -100, 100, -10, 10, 0, 4, false, nullptr, 0, 0, 0},
    {5, PF_Param_FLOAT_SLIDER, "Tracking", -100, 100, -10, 10, 0, 4, false, nullptr, 0, 0, 0},
    {6, PF_Param_CHECKBOX, "Mistake Intensive", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {7, PF_Param_CHECKBOX, "Excitation Matrix Intensive", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {8, PF_Param_CHECKBOX, "Mistake Color", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
    {9, PF_Param_CHECKBOX, "Excitation Matrix Color", 0, 0, 0, 0, 0, 0, false, nullptr, 0, 0, 0},
};

struct EffectParams {
    EffectFile effect;
    const std::vector<ExpectedParam>* params;
    int32_t numParams;
};

std::ostream& operator<<(std::ostream& os, const EffectParams& e) { return os << e.effect; }

int countChoices(const char* s) {
    int n = 1;
    for (; *s; ++s) n += *s == '|';
    return n;
}

void expectDefinition(const PF_ParamDef& d, const std::string& copiedName, const ExpectedParam& e) {
    SCOPED_TRACE("parameter " + std::to_string(e.index) + " \"" + e.name + "\"");
    EXPECT_EQ(d.param_type, e.type);
    // The whole name went to the host's string copy; the field holds what fits.
    EXPECT_EQ(copiedName, e.name);
    EXPECT_EQ(std::string(d.name, strnlen(d.name, PF_MAX_PARAM_NAME_LEN)),
              std::string(e.name).substr(0, PF_MAX_PARAM_NAME_LEN));
    EXPECT_EQ(d.flags, 0);
    EXPECT_EQ(d.change_flags, 0);
    if (e.type == PF_Param_NO_DATA) {
        EXPECT_EQ(d.ui_flags, PF_PUI_CONTROL);
        EXPECT_EQ(d.ui_width, 1000);
        EXPECT_EQ(d.ui_height, 25);
    } else {
        EXPECT_EQ(d.ui_flags, 0);
        EXPECT_EQ(d.ui_width, 0);
        EXPECT_EQ(d.ui_height, 0);
    }
    switch (e.type) {
        case PF_Param_POPUP:
            EXPECT_EQ(d.u.pd.dflt, e.dflt);
            EXPECT_EQ(d.u.pd.value, e.dflt);
            EXPECT_EQ(d.u.pd.num_choices, e.numChoices);
            ASSERT_NE(d.u.pd.choices, nullptr);
            EXPECT_STREQ(d.u.pd.choices, e.choices);
            EXPECT_EQ(countChoices(d.u.pd.choices), d.u.pd.num_choices);
            break;
        case PF_Param_CHECKBOX:
            EXPECT_EQ(d.u.bd.dflt, e.dflt);
            EXPECT_EQ(d.u.bd.value, e.dflt);
            ASSERT_NE(d.u.bd.label, nullptr);
            EXPECT_STREQ(d.u.bd.label, "");
            break;
        case PF_Param_SLIDER:
            EXPECT_EQ(d.u.sd.valid_min, e.validMin);
            EXPECT_EQ(d.u.sd.valid_max, e.validMax);
            EXPECT_EQ(d.u.sd.slider_min, e.sliderMin);
            EXPECT_EQ(d.u.sd.slider_max, e.sliderMax);
            EXPECT_EQ(d.u.sd.dflt, e.dflt);
            EXPECT_EQ(d.u.sd.value, e.dflt);
            break;
        case PF_Param_FLOAT_SLIDER:
            EXPECT_EQ(d.u.fs_d.valid_min, static_cast<float>(e.validMin));
            EXPECT_EQ(d.u.fs_d.valid_max, static_cast<float>(e.validMax));
            EXPECT_EQ(d.u.fs_d.slider_min, static_cast<float>(e.sliderMin));
            EXPECT_EQ(d.u.fs_d.slider_max, static_cast<float>(e.sliderMax));
            EXPECT_EQ(d.u.fs_d.dflt, e.dflt);
            EXPECT_EQ(d.u.fs_d.value, e.dflt);
            EXPECT_EQ(d.u.fs_d.precision, e.precision);
            EXPECT_EQ(d.u.fs_d.display_flags, e.percent ? PF_ValueDisplayFlag_PERCENT : 0);
            EXPECT_EQ(d.u.fs_d.fs_flags, 0);
            EXPECT_EQ(d.u.fs_d.curve_tolerance, 0.05f);
            break;
        case PF_Param_ANGLE:
            EXPECT_EQ(d.u.ad.dflt, static_cast<PF_Fixed>(e.dflt) * PF_FIXED_ONE);
            EXPECT_EQ(d.u.ad.value, d.u.ad.dflt);
            break;
        case PF_Param_POINT:
            EXPECT_EQ(d.u.td.x_dflt, e.xPercent * PF_FIXED_ONE);
            EXPECT_EQ(d.u.td.y_dflt, e.yPercent * PF_FIXED_ONE);
            EXPECT_EQ(d.u.td.restrict_bounds, 0);
            break;
        case PF_Param_COLOR: {
            // The morphing effect's custom colour: opaque red.
            const PF_Pixel red{255, 255, 0, 0};
            EXPECT_EQ(std::memcmp(&d.u.cd.dflt, &red, 4), 0);
            EXPECT_EQ(std::memcmp(&d.u.cd.value, &red, 4), 0);
            break;
        }
        default:
            break;
    }
}

class ParamsTest : public ::testing::TestWithParam<EffectParams> {};

TEST_P(ParamsTest, RegistersEveryDefinition) {
    LoadedPlugin plugin(GetParam().effect.path);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    ASSERT_EQ(plugin(PF_Cmd_PARAMS_SETUP, host), PF_Err_NONE);
    const std::vector<ExpectedParam>& expected = *GetParam().params;
    ASSERT_EQ(host.added.size(), expected.size());
    ASSERT_EQ(host.names.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(expected[i].index, static_cast<int32_t>(i + 1));
        expectDefinition(host.added[i], host.names[i], expected[i]);
    }
    EXPECT_EQ(host.out.num_params, GetParam().numParams);
    EXPECT_EQ(host.badCalls, 0);
    EXPECT_EQ(host.registerUiCalls, 1);
    EXPECT_EQ(host.ui.events, 7);
    for (int32_t v : {host.ui.comp_ui_width, host.ui.comp_ui_height, host.ui.comp_ui_alignment,
                      host.ui.layer_ui_width, host.ui.layer_ui_height, host.ui.layer_ui_alignment,
                      host.ui.preview_ui_width, host.ui.preview_ui_height, host.ui.preview_ui_alignment})
        EXPECT_EQ(v, 0);
}

INSTANTIATE_TEST_SUITE_P(Effects, ParamsTest,
                         ::testing::Values(EffectParams{kTypingFile, &kTypingParams, 60},
                                           EffectParams{kMorphingFile, &kMorphingParams, 31},
                                           EffectParams{kDigitalizerFile, &kDigitalizerParams, 10}));

TEST(ParamsTest, TablesHaveTheirLength) {
    EXPECT_EQ(kTypingParams.size(), 59u);
    EXPECT_EQ(kMorphingParams.size(), 30u);
    EXPECT_EQ(kDigitalizerParams.size(), 9u);
}

struct FailingAddCase {
    EffectFile effect;
    int row;  // the add that the host refuses
};

std::ostream& operator<<(std::ostream& os, const FailingAddCase& c) { return os << c.effect << " row " << c.row; }

class FailingAddTest : public ::testing::TestWithParam<FailingAddCase> {};

TEST_P(FailingAddTest, EndsRegistrationWithTheHostsError) {
    LoadedPlugin plugin(GetParam().effect.path);
    ASSERT_TRUE(plugin.loaded());
    FakeHost host;
    host.failAddAt = GetParam().row;
    host.failWith = -4321;
    host.out.num_params = -1;
    EXPECT_EQ(plugin(PF_Cmd_PARAMS_SETUP, host), -4321);
    EXPECT_EQ(host.addCalls, GetParam().row) << "rows after the failing one were still added";
    EXPECT_EQ(host.added.size(), static_cast<size_t>(GetParam().row - 1));
    EXPECT_EQ(host.out.num_params, -1);
    EXPECT_EQ(host.registerUiCalls, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FailingAddTest,
    ::testing::Values(FailingAddCase{kTypingFile, 1}, FailingAddCase{kTypingFile, 2}, FailingAddCase{kTypingFile, 30},
                      FailingAddCase{kTypingFile, 59}, FailingAddCase{kMorphingFile, 1},
                      FailingAddCase{kMorphingFile, 15}, FailingAddCase{kMorphingFile, 30},
                      FailingAddCase{kDigitalizerFile, 1}, FailingAddCase{kDigitalizerFile, 9}));

// The morphing effect answers with the custom UI registration's result; the
// typing effect registers its UI and reports success whatever the host says.
TEST(CustomUiResultTest, MorphingPassesItOnTypingDoesNot) {
    {
        LoadedPlugin plugin(kMorphingPlugin);
        FakeHost host;
        host.registerUiResult = -1003;
        EXPECT_EQ(plugin(PF_Cmd_PARAMS_SETUP, host), -1003);
        EXPECT_EQ(host.out.num_params, 31);
    }
    {
        LoadedPlugin plugin(kTypingPlugin);
        FakeHost host;
        host.registerUiResult = -1003;
        EXPECT_EQ(plugin(PF_Cmd_PARAMS_SETUP, host), PF_Err_NONE);
        EXPECT_EQ(host.out.num_params, 60);
    }
}

}  // namespace
