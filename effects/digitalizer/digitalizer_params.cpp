#include "effects/digitalizer/digitalizer.h"
#include "framework/param_defs.h"

PF_Err RegisterDigitalizerParams(PF_InData* in_data, PF_OutData* out_data) {
    if (!in_data || !out_data) return PF_Err_BAD_CALLBACK_PARAM;
    ParamRegistrar reg(in_data);
    reg.customControl("Information", 1000, 25)
        .floatSlider({"Scale Fonts", 0.01f, 10, 0.5f, 2.5f, 1.0, 4})
        .floatSlider({"Offset", -1, 1, -0.5f, 0.5f, 0, 4})
        .floatSlider({"Leaving", -100, 100, -10, 10, 0, 4})
        .floatSlider({"Tracking", -100, 100, -10, 10, 0, 4})
        .checkbox("Mistake Intensive", false)
        .checkbox("Excitation Matrix Intensive", false)
        .checkbox("Mistake Color", false)
        .checkbox("Excitation Matrix Color", false);
    if (reg.result() != PF_Err_NONE) return reg.result();

    out_data->num_params = kDigitalizerParamCount;
    if (in_data->inter.register_ui) {
        PF_CustomUIInfo ui{};
        ui.events = PF_EventFlag_COMP | PF_EventFlag_LAYER | PF_EventFlag_EFFECT;
        (void)in_data->inter.register_ui(in_data->effect_ref, &ui);
    }
    return PF_Err_NONE;
}
