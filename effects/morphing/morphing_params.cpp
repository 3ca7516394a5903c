#include "effects/morphing/morphing.h"
#include "framework/host_calls.h"
#include "framework/param_defs.h"

namespace {

constexpr char kEffectTypeChoices[] =
    "No Effect|Scrolling|Ordered Scrolling|Lines Scrolling|Lines Ordered Scrolling|Scrolling All|"
    "Ordered Scrolling All|Morphing|Lines Morphing|Morphing All";
constexpr char kScrollingControlChoices[] = "By Phase|By Speed";
constexpr char kKerningTypeChoices[] = "By First Text|Fixing Width|Self";
constexpr char kMorphingColorChoices[] =
    "First Color|Second Color|Morphing Color|Random Color|Custom Color";
constexpr char kOffsetJitterChoices[] = "None|Chaos Jump|Swing|Swing Vertical|Wave|Chaos Wave";
constexpr char kScaleJitterChoices[] = "None|Chaos Scale|Swing|Wave|Chaos Wave|Running";
constexpr char kColorJitterChoices[] = "None|Chaos Color|Swing|Wave|Chaos Wave|Running";
constexpr char kRotationJitterChoices[] = "None|Chaos Rotate|Swing|Wave|Chaos Wave|Running";

constexpr PF_Pixel kOpaqueRed{255, 255, 0, 0};

}  // namespace

PF_Err RegisterMorphingParams(PF_InData* in_data, PF_OutData* out_data) {
    if (!in_data || !out_data) return PF_Err_BAD_CALLBACK_PARAM;
    ParamRegistrar reg(in_data);
    reg.customControl("Information", 1000, 25)
        .popup("Effect Type", kEffectTypeChoices, kScrollingType)
        .popup("Scrolling Control", kScrollingControlChoices, 2)
        .floatSlider({"Phase", 0, 1, 0, 1, 0.2, 4})
        .floatSlider({"Speed (Pixs/Frame)", -100, 100, -10, 10, 1.0, 6})

        .groupStart("Common Text Parameters")
        .checkbox("Wrap", true)
        .popup("Kerning Type", kKerningTypeChoices, 2)
        .floatSlider({"Fixed Leaving", 0.01f, 100, 1, 50, 10, 2})
        .floatSlider({"Leading (Interval between Lines)", 0.01f, 1000, 10, 500, 100, 2, true})
        .floatSlider({"Scrolling Speed", 0, 100, 0, 100, 100, 6, true})
        .checkbox("Morph & Rotate", false)
        .floatSlider({"Scale Effect", -100, 100, -100, 100, 0, 6, true})
        .popup("Morphing Color", kMorphingColorChoices, 3)
        .color("Custom Color", kOpaqueRed)
        .groupEnd()

        .groupStart("Jitters")
        .floatSlider({"Speed of Jitters", -20, 20, -1, 1, 0.1, 3})
        .floatSlider({"Frequency of Jitters", 0, 100, 0, 20, 1.0, 3})
        .slider({"Seed", 0, 1000, 0, 255, 10})
        .popup("Type of Offset Jitter", kOffsetJitterChoices, 1)
        .floatSlider({"Offset Value", -20, 20, -10, 10, 1.0, 3})
        .popup("Type of Scale Jitter", kScaleJitterChoices, 1)
        .floatSlider({"Scale Value", 0.01f, 10, 0.1f, 4, 1.0, 3})
        .checkbox("Scale withaut move", false)
        .popup("Type of Color Jitter", kColorJitterChoices, 1)
        .floatSlider({"Color Value", 0, 1000, 0, 500, 1.0, 3})
        .popup("Type of Rotation Jitter", kRotationJitterChoices, 1)
        .floatSlider({"Rotation Value", -720, 720, -90, 90, 30, 3})
        .groupEnd();
    if (reg.result() != PF_Err_NONE) return reg.result();

    out_data->num_params = kMorphingParamCount;
    if (!in_data->inter.register_ui) return PF_Err_NONE;
    PF_CustomUIInfo ui{};
    ui.events = PF_EventFlag_COMP | PF_EventFlag_LAYER | PF_EventFlag_EFFECT;
    return in_data->inter.register_ui(in_data->effect_ref, &ui);
}

PF_Err MorphingInterplay(PF_InData* in_data, PF_OutData*, PF_ParamList params, int32_t index) {
    if (index != kEffectType) return PF_Err_NONE;
    ParamUtilsSuite suite(in_data);
    if (!suite.get() || !params || !params[kEffectType]) return PF_Err_NONE;

    int32_t type = params[kEffectType]->u.pd.value;
    const PF_ParamUtilsSuite1& s = *suite.get();
    switch (type) {
        case kScrollingType:
        case kLinesScrolling:
        case kScrollingAll:
            SetControlEnabled(in_data, params, s, kScrollingSpeed, true);
            SetControlEnabled(in_data, params, s, kMorphAndRotate, false);
            break;
        case kMorphing:
        case kLinesMorphing:
        case kMorphingAll:
            SetControlEnabled(in_data, params, s, kMorphAndRotate, true);
            SetControlEnabled(in_data, params, s, kScrollingSpeed, false);
            break;
        default:
            // The ordered types and "No Effect" use neither.
            SetControlEnabled(in_data, params, s, kScrollingSpeed, false);
            SetControlEnabled(in_data, params, s, kMorphAndRotate, false);
            break;
    }
    return PF_Err_NONE;
}
