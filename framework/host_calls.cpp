#include "framework/host_calls.h"

HWND HostMainWindow(PF_InData* in_data) {
    if (!in_data || !in_data->utils || !in_data->utils->get_platform_data) return nullptr;
    HWND window = nullptr;
    if (in_data->utils->get_platform_data(in_data->effect_ref, PF_PlatData_MAIN_WND, &window) !=
        PF_Err_NONE)
        return nullptr;
    return window;
}

ParamUtilsSuite::ParamUtilsSuite(PF_InData* in_data) {
    if (!in_data || !in_data->pica_basicP || !in_data->pica_basicP->AcquireSuite) return;
    basic_ = in_data->pica_basicP;
    const void* suite = nullptr;
    if (basic_->AcquireSuite(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion1, &suite) == PF_Err_NONE)
        suite_ = static_cast<const PF_ParamUtilsSuite1*>(suite);
}

ParamUtilsSuite::~ParamUtilsSuite() {
    if (suite_ && basic_ && basic_->ReleaseSuite)
        basic_->ReleaseSuite(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion1);
}

void SetControlEnabled(PF_InData* in_data, PF_ParamList params, const PF_ParamUtilsSuite1& suite,
                       int32_t index, bool enabled) {
    if (!params || !params[index] || !suite.PF_UpdateParamUI) return;
    PF_ParamDef copy = *params[index];
    if (enabled) {
        copy.ui_flags &= ~PF_PUI_DISABLED;
        copy.flags &= ~PF_ParamFlag_COLLAPSE_TWIRLY;
    } else {
        copy.ui_flags |= PF_PUI_DISABLED;
        copy.flags |= PF_ParamFlag_COLLAPSE_TWIRLY;
    }
    // The host's answer changes nothing here: a control it cannot update
    // simply keeps its look.
    (void)suite.PF_UpdateParamUI(in_data->effect_ref, index, &copy);
}
