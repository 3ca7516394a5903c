// Entry point of "ZOL Morphing": routes each host command.
#include "effects/morphing/morphing.h"
#include "framework/about_box.h"
#include "framework/edit_command.h"
#include "framework/effect_main.h"
#include "framework/library_binding.h"
#include "framework/plugin_globals.h"
#include "framework/sequence_data.h"

namespace {

// Keeps no folder paths and registers no file type: the preset files belong
// to the typing effect.
PF_Err globalSetup(PF_InData* in_data, PF_OutData* out_data) {
    if (!out_data) return PF_Err_BAD_CALLBACK_PARAM;
    BindLibrary(EffectKind::Morphing, in_data, g_plugin.module, g_plugin.library);
    out_data->my_version = kEffectVersion;
    out_data->out_flags = kEffectOutFlags;
    return PF_Err_NONE;
}

PF_Err userChangedParam(PF_InData* in_data, PF_OutData* out_data, PF_ParamList params, void* extra) {
    if (!extra) return PF_Err_NONE;
    auto* changed = static_cast<PF_UserChangedParamExtra*>(extra);
    return MorphingInterplay(in_data, out_data, params, changed->param_index);
}

PF_Err updateParamsUi(PF_InData* in_data, PF_OutData* out_data, PF_ParamList params) {
    for (int32_t k = 1; k < kMorphingParamCount; ++k) MorphingInterplay(in_data, out_data, params, k);
    return PF_Err_NONE;
}

PF_Err dispatch(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamList params,
                PF_LayerDef*, void* extra) {
    switch (cmd) {
        case PF_Cmd_ABOUT: return ShowAboutBox(in_data, g_plugin.module);
        case PF_Cmd_GLOBAL_SETUP: return globalSetup(in_data, out_data);
        case PF_Cmd_GLOBAL_SETDOWN: ReleaseLibrary(g_plugin.library); return PF_Err_NONE;
        case PF_Cmd_PARAMS_SETUP: return RegisterMorphingParams(in_data, out_data);
        case PF_Cmd_SEQUENCE_SETUP: return SetupMorphSequence(in_data, out_data);
        case PF_Cmd_SEQUENCE_RESETUP: return ResetupSequence(in_data, out_data, SetupMorphSequence);
        case PF_Cmd_SEQUENCE_FLATTEN: return FlattenSequence(in_data, out_data);
        case PF_Cmd_SEQUENCE_SETDOWN: return SetdownSequence(in_data, out_data);
        case PF_Cmd_DO_DIALOG: return EditMorphTexts(in_data, out_data, g_plugin.library, g_plugin.module);
        case PF_Cmd_RENDER: return PF_Err_NONE;     // drawing arrives with the glyph engine
        case PF_Cmd_USER_CHANGED_PARAM: return userChangedParam(in_data, out_data, params, extra);
        case PF_Cmd_UPDATE_PARAMS_UI: return updateParamsUi(in_data, out_data, params);
        case PF_Cmd_EVENT: return PF_Err_NONE;  // the control strip arrives with the graphics
        default: return PF_Err_NONE;
    }
}

}  // namespace

PF_Err EffectMain(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamList params,
                  PF_LayerDef* output, void* extra) {
    try {
        return dispatch(cmd, in_data, out_data, params, output, extra);
    } catch (...) {
        return PF_Err_INTERNAL;
    }
}
