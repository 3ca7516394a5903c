// Entry point of "ZOL Quillarine": routes each host command.
#include "effects/typing/typing.h"
#include "effects/typing/typing_render.h"
#include "framework/about_box.h"
#include "framework/edit_command.h"
#include "framework/effect_main.h"
#include "framework/file_types.h"
#include "framework/library_binding.h"
#include "framework/module_paths.h"
#include "framework/plugin_globals.h"
#include "framework/sequence_data.h"

namespace {

PF_Err globalSetup(PF_InData* in_data, PF_OutData* out_data) {
    if (!out_data) return PF_Err_BAD_CALLBACK_PARAM;
    std::string moduleName = ReadModuleFileName(g_plugin.module, kPluginPathSize);
    TypingFolders folders = TypingFoldersFor(moduleName);
    CopyToField(g_plugin.pluginFolder, folders.pluginFolder);
    CopyToField(g_plugin.helpPath, folders.helpPath);
    CopyToField(g_plugin.saveFolder, folders.saveFolder);

    RegisterPresetFileType(moduleName);
    // A library that cannot be loaded leaves its functions unset; setup still
    // succeeds and the effect draws nothing where it would need them.
    BindLibrary(EffectKind::Typing, in_data, g_plugin.module, g_plugin.library);

    out_data->my_version = kEffectVersion;
    out_data->out_flags = kEffectOutFlags;
    return PF_Err_NONE;
}

PF_Err userChangedParam(PF_InData* in_data, PF_OutData* out_data, PF_ParamList params, void* extra) {
    if (!extra) return PF_Err_NONE;
    auto* changed = static_cast<PF_UserChangedParamExtra*>(extra);
    return TypingInterplay(in_data, out_data, params, changed->param_index);
}

PF_Err updateParamsUi(PF_InData* in_data, PF_OutData* out_data, PF_ParamList params) {
    // Every index in turn, so later rules win on a control they share.
    for (int32_t k = 1; k < kTypingParamCount; ++k) TypingInterplay(in_data, out_data, params, k);
    return PF_Err_NONE;
}

PF_Err dispatch(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamList params,
                PF_LayerDef* output, void* extra) {
    switch (cmd) {
        case PF_Cmd_ABOUT: return ShowAboutBox(in_data, g_plugin.module);
        case PF_Cmd_GLOBAL_SETUP: return globalSetup(in_data, out_data);
        case PF_Cmd_GLOBAL_SETDOWN: ReleaseLibrary(g_plugin.library); return PF_Err_NONE;
        case PF_Cmd_PARAMS_SETUP: return RegisterTypingParams(in_data, out_data);
        case PF_Cmd_SEQUENCE_SETUP: return SetupTypingSequence(in_data, out_data);
        case PF_Cmd_SEQUENCE_RESETUP: return ResetupSequence(in_data, out_data, SetupTypingSequence);
        case PF_Cmd_SEQUENCE_FLATTEN: return FlattenTypingSequence(in_data, out_data, g_plugin.library);
        case PF_Cmd_SEQUENCE_SETDOWN: return SetdownTypingSequence(in_data, out_data, g_plugin.library);
        case PF_Cmd_DO_DIALOG: return EditTypingText(in_data, out_data, g_plugin.library, g_plugin.module);
        case PF_Cmd_RENDER: return RenderTyping(in_data, out_data, params, output);
        case PF_Cmd_USER_CHANGED_PARAM: return userChangedParam(in_data, out_data, params, extra);
        case PF_Cmd_UPDATE_PARAMS_UI: return updateParamsUi(in_data, out_data, params);
        case PF_Cmd_EVENT: return PF_Err_NONE;  // the control strips arrive with the graphics
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
