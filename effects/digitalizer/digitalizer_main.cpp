// Entry point of "ZOL Digitalizer": routes each host command.
#include "effects/digitalizer/digitalizer.h"
#include "framework/about_box.h"
#include "framework/effect_main.h"
#include "framework/library_binding.h"
#include "framework/plugin_globals.h"
#include "framework/sequence_data.h"

namespace {

PF_Err globalSetup(PF_InData* in_data, PF_OutData* out_data) {
    if (!out_data) return PF_Err_BAD_CALLBACK_PARAM;
    BindLibrary(EffectKind::Digitalizer, in_data, g_plugin.module, g_plugin.library);
    out_data->my_version = kEffectVersion;
    out_data->out_flags = kEffectOutFlags;
    return PF_Err_NONE;
}

PF_Err dispatch(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamList, PF_LayerDef*,
                void*) {
    switch (cmd) {
        case PF_Cmd_ABOUT: return ShowAboutBox(in_data, g_plugin.module);
        case PF_Cmd_GLOBAL_SETUP: return globalSetup(in_data, out_data);
        case PF_Cmd_GLOBAL_SETDOWN: ReleaseLibrary(g_plugin.library); return PF_Err_NONE;
        case PF_Cmd_PARAMS_SETUP: return RegisterDigitalizerParams(in_data, out_data);
        case PF_Cmd_SEQUENCE_SETUP: return SetupSymbolSetSequence(in_data, out_data);
        case PF_Cmd_SEQUENCE_RESETUP: return ResetupSequence(in_data, out_data, SetupSymbolSetSequence);
        case PF_Cmd_SEQUENCE_FLATTEN: return FlattenSequence(in_data, out_data);
        case PF_Cmd_SEQUENCE_SETDOWN: return SetdownSequence(in_data, out_data);
        case PF_Cmd_DO_DIALOG: return EditSymbolSet(in_data, out_data, g_plugin.library);
        case PF_Cmd_RENDER: return PF_Err_NONE;     // drawing arrives with the graphics
        // No control greys out: every parameter always applies.
        case PF_Cmd_USER_CHANGED_PARAM: return PF_Err_NONE;
        case PF_Cmd_UPDATE_PARAMS_UI: return PF_Err_NONE;
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
