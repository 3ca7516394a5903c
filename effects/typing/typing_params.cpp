#include "effects/typing/typing.h"
#include "framework/host_calls.h"
#include "framework/param_defs.h"

namespace {

constexpr char kEffectTypeChoices[] =
    "Static Text|Scrolling|Pages Scrolling|Perspective Scrolling|Creeping Line|Vertical Line";
constexpr char kScrollingControlChoices[] = "By Phase|By Speed";
constexpr char kRandomInvertChoices[] = "None|Apply to Letters|Apply to Words";
// The spaces beside some separators belong to the choice names.
constexpr char kFirstScrollingChoices[] =
    "Static Screen|Fade In All|Run All|Type By Lines|Print By Lines|Fade In By Lines|Type By Letter|"
    "Assemble Lines|Assemble All | Assemble Direct|Assemble Turn Direct|Assemble All Directs";
constexpr char kSecondScrollingChoices[] =
    "Static Screen|Fade Out All|Run All|Erase By Lines|Print By Lines|Fade Out By Lines|Erase By letter|"
    "Disassemble Lines|Disassemble All| Assemble Direct|Assemble Turn Direct|Assemble All Directs";
constexpr char kRunningEffectChoices[] =
    "Creeping Line|Delay Headline|Creeping & Fade Out Headline|Fade In & Run Headline|"
    "Fade In & Fade Out Headline|Type & Creeping Headline|Creeping & Erase Headline|"
    "Type & Erase Headline|Type & Fade Out Headline|Fade In & Erase Headline|Dellay All Lines|"
    "Creeping & Fade Out All Lines|Fade In & Creeping All Lines|Fade In & Fade Out All Lines|"
    "Type & Erase All Lines|Type & Creeping All Lines|Creeping & Erase All Lines|Type & Fade Out|"
    "Fade In & Erase|Assemble & Disass. All Lines|Assemble & Creeping All Lines|"
    "Creeping & Disass. All Lines|Assemble & Fade Out All Lines|Fade In & Disass. All Lines|"
    "Type & Disass. All Lines|Assemble & Erase All Lines";
constexpr char kTypingEffectsChoices[] =
    "None|Cursor|Direct Fly|Direct Fly 1|Fly Chaos|Fly Chaos 1|Direct & Chaos Fly|Chaos & Direct Fly";
constexpr char kOffsetJitterChoices[] = "None|Chaos Jump|Swing|Swing Vertical|Wave|Chaos Wave";
constexpr char kScaleJitterChoices[] = "None|Chaos Scale|Swing|Wave|Chaos Wave|Running";
constexpr char kColorJitterChoices[] = "None|Chaos Color|Swing|Wave|Chaos Wave|Running";
constexpr char kRotationJitterChoices[] = "None|Chaos Rotate|Swing|Wave|Chaos Wave|Running";

constexpr int16_t kControlWidth = 1000;
constexpr int16_t kControlHeight = 25;

}  // namespace

PF_Err RegisterTypingParams(PF_InData* in_data, PF_OutData* out_data) {
    if (!in_data || !out_data) return PF_Err_BAD_CALLBACK_PARAM;
    // Asked for as the original plug-in does; registration has no use for it.
    (void)HostMainWindow(in_data);

    ParamRegistrar reg(in_data);
    reg.customControl("Information", kControlWidth, kControlHeight)
        .popup("Effect Type", kEffectTypeChoices, kStaticText)
        .checkbox("Wrap", true)
        .popup("Scrolling Control", kScrollingControlChoices, 2)
        .floatSlider({"Phase", 0, 1, 0, 1, 0.2, 4})
        .floatSlider({"Speed (Pixs/Frame)", -100, 100, -10, 10, 1, 6})
        .checkbox("Hight Quality of Antialiasing", false)

        .groupStart("Common Text parameters")
        .floatSlider({"Leading (Interval between Lines)", 0.01f, 1000, 10, 500, 100, 2, true})
        .popup("Random Invert", kRandomInvertChoices, 1)
        .floatSlider({"Invert Density", 0, 1, 0, 1, 0.5, 3})
        .slider({"Random Seed", 0, 1000, 0, 255, 0})
        .checkbox("Invert Paragraph", false)
        .checkbox("Invert Headline", false)
        .groupEnd()

        .groupStart("Scrolling Screen")
        .popup("First Scrolling Effect", kFirstScrollingChoices, 1)
        .popup("Second Scrolling Effect", kSecondScrollingChoices, 1)
        .floatSlider({"Speed of First Effect", -20, 20, -1, 10, 1, 3})
        .floatSlider({"Speed of Second Effect", -20, 20, -1, 10, 1, 3})
        .angle("Direction", 30)
        .groupEnd()

        .groupStart("Perspective Scrolling")
        .point("First Point", 50, 25)
        .point("Second Point", 50, 75)
        .slider({"Numbers of Lines", 0, 1000, 0, 255, 10})
        .floatSlider({"Perspective", -20, 20, 0, 10, 2, 3})
        .floatSlider({"Add Scale", 0, 20, 0.1f, 10, 1, 3})
        .checkbox("Parabola", false)
        .floatSlider({"Transparency Zone", 0, 10, 0, 0.8f, 0.8, 3})
        .groupEnd()

        .groupStart("Running Line")
        .popup("Running Effect", kRunningEffectChoices, 1)
        .floatSlider({"Space Size", 0, 1000, 0, 200, 100, 2, true})
        .floatSlider({"Delay", 0, 1000, 0, 300, 100, 2, true})
        .groupEnd()

        .groupStart("Add Effects")
        .floatSlider({"Speed of Effect", -20, 20, -1, 10, 1, 3})
        .floatSlider({"Strength of Effect", -20, 20, -10, 10, 1, 3})
        .popup("Typing Effects", kTypingEffectsChoices, 1)
        .floatSlider({"Rotation Speed", -100, 100, -10, 10, 0, 3})
        .floatSlider({"Perspective Scale", -100, 100, -10, 10, 0, 3})
        .floatSlider({"Print Size", 0.01f, 1, 0.1f, 1, 1, 3})
        .groupEnd()

        .groupStart("Jitters")
        .floatSlider({"Speed of Jitters", -20, 20, -1, 1, 0.1, 3})
        .floatSlider({"Frequency of Jitters", 0, 100, 0, 20, 1, 3})
        .slider({"Seed", 0, 1000, 0, 255, 10})
        .popup("Type of Offset Jitter", kOffsetJitterChoices, 1)
        .floatSlider({"Offset Value", -20, 20, -10, 10, 1, 3})
        .popup("Type of Scale Jitter", kScaleJitterChoices, 1)
        .floatSlider({"Scale Value", 0.01f, 10, 0.1f, 4, 1, 3})
        .checkbox("Scale without move", false)
        .popup("Type of Color Jitter", kColorJitterChoices, 1)
        .floatSlider({"Color Value", 0, 1000, 0, 500, 1, 3})
        .popup("Type of Rotation Jitter", kRotationJitterChoices, 1)
        .floatSlider({"Rotation Amount", -720, 720, -90, 90, 30, 3})
        .groupEnd()

        .customControl("Files Preset", kControlWidth, kControlHeight);
    if (reg.result() != PF_Err_NONE) return reg.result();

    out_data->num_params = kTypingParamCount;
    // The control strips of "Information" and "Files Preset" draw in the
    // effect controls; the registration's answer changes nothing.
    if (in_data->inter.register_ui) {
        PF_CustomUIInfo ui{};
        ui.events = PF_EventFlag_COMP | PF_EventFlag_LAYER | PF_EventFlag_EFFECT;
        (void)in_data->inter.register_ui(in_data->effect_ref, &ui);
    }
    return PF_Err_NONE;
}
