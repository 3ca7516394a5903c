// A small plug-in that exercises the host: it checks every in_data it is
// handed and, when its "Action" popup changes, does one thing a real effect
// may do to a host (grow its record behind a stale flat size, fail with a
// message, check a parameter out over time, re-show a control, rewrite a
// value). PROBE_FAIL=<command number> makes that command fail.
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/effect_api/effect_api.h"

namespace {

enum Action : int32_t {
    kNone = 1,
    kGrowData = 2,
    kFail = 3,
    kCheckout = 4,
    kDisableNext = 5,
    kRewriteValue = 6,
    kBadCheckin = 7,
};

constexpr PF_Err kIncompleteInData = -9001;
constexpr PF_Err kRefusedAction = -4242;
constexpr uint32_t kGrowBy = 100;

bool complete(const PF_InData* in, PF_Cmd cmd) {
    if (!in || !in->effect_ref || !in->utils || !in->pica_basicP) return false;
    const PF_InteractCallbacks& i = in->inter;
    if (!i.add_param || !i.register_ui || !i.checkout_param || !i.checkin_param || !i.progress) return false;
    const PF_UtilCallbacks& u = *in->utils;
    if (!u.host_new_handle || !u.host_lock_handle || !u.host_unlock_handle || !u.host_dispose_handle ||
        !u.host_get_handle_size || !u.get_platform_data || !u.get_drawing_data || !u.ansi.strcpy)
        return false;
    if (!in->pica_basicP->AcquireSuite || !in->pica_basicP->ReleaseSuite) return false;
    if (in->time_scale == 0 || in->local_time_step <= 0 || in->total_time <= 0) return false;
    if (in->downsample_x.den == 0 || in->downsample_y.den == 0) return false;
    bool instanceCmd = cmd != PF_Cmd_GLOBAL_SETUP && cmd != PF_Cmd_GLOBAL_SETDOWN && cmd != PF_Cmd_PARAMS_SETUP;
    if (instanceCmd && (in->width <= 0 || in->height <= 0)) return false;
    return true;
}

PF_Err addParams(PF_InData* in, PF_OutData* out) {
    auto add = [&](PF_ParamType type, const char* name, auto&& fill) {
        PF_ParamDef def{};
        def.param_type = type;
        in->utils->ansi.strcpy(def.name, name);
        fill(def);
        return in->inter.add_param(in->effect_ref, -1, &def);
    };
    PF_Err err = PF_Err_NONE;
    if ((err = add(PF_Param_POPUP, "Action", [](PF_ParamDef& d) {
             d.u.pd.num_choices = 7;
             d.u.pd.dflt = 1;
             d.u.pd.value = 1;
             d.u.pd.choices = "None|Grow Data|Fail|Checkout|Disable Next|Rewrite Value|Bad Checkin";
         })))
        return err;
    if ((err = add(PF_Param_FLOAT_SLIDER, "Amount", [](PF_ParamDef& d) {
             d.u.fs_d.valid_min = -10;
             d.u.fs_d.valid_max = 10;
             d.u.fs_d.slider_min = -1;
             d.u.fs_d.slider_max = 1;
             d.u.fs_d.dflt = d.u.fs_d.value = 1.5;
             d.u.fs_d.precision = 2;
             d.u.fs_d.curve_tolerance = 0.05f;
         })))
        return err;
    if ((err = add(PF_Param_SLIDER, "Count", [](PF_ParamDef& d) {
             d.u.sd.valid_min = 0;
             d.u.sd.valid_max = 100;
             d.u.sd.slider_min = 0;
             d.u.sd.slider_max = 50;
             d.u.sd.dflt = d.u.sd.value = 5;
         })))
        return err;
    if ((err = add(PF_Param_POINT, "Where", [](PF_ParamDef& d) {
             d.u.td.x_dflt = 25 << 16;
             d.u.td.y_dflt = 75 << 16;
         })))
        return err;
    if ((err = add(PF_Param_COLOR, "Tint", [](PF_ParamDef& d) {
             d.u.cd.dflt = d.u.cd.value = PF_Pixel{255, 10, 20, 30};
         })))
        return err;
    if ((err = add(PF_Param_ANGLE, "Turn", [](PF_ParamDef& d) { d.u.ad.dflt = d.u.ad.value = 45 << 16; })))
        return err;
    if ((err = add(PF_Param_CHECKBOX, "Enabled", [](PF_ParamDef& d) {
             d.u.bd.dflt = d.u.bd.value = 1;
             d.u.bd.label = "on";
         })))
        return err;
    if ((err = add(PF_Param_GROUP_START, "Group", [](PF_ParamDef&) {}))) return err;
    if ((err = add(PF_Param_FLOAT_SLIDER, "Next", [](PF_ParamDef& d) {
             d.u.fs_d.valid_min = 0;
             d.u.fs_d.valid_max = 1;
             d.u.fs_d.slider_max = 1;
             d.u.fs_d.dflt = d.u.fs_d.value = 0.5;
         })))
        return err;
    // A group end keeps the previous name in its name field, as real effects do.
    if ((err = add(PF_Param_GROUP_END, "Next", [](PF_ParamDef&) {}))) return err;
    out->num_params = 11;
    return PF_Err_NONE;
}

PF_Handle newRecord(PF_InData* in, uint64_t size, unsigned char fill) {
    PF_Handle h = in->utils->host_new_handle(size);
    if (!h) return nullptr;
    auto* p = static_cast<unsigned char*>(in->utils->host_lock_handle(h));
    std::memset(p, fill, size);
    if (size >= 8) std::memcpy(p, "PROBE\0\0\0", 8);
    in->utils->host_unlock_handle(h);
    return h;
}

PF_Err sequenceSetup(PF_InData* in, PF_OutData* out) {
    PF_Handle h = newRecord(in, 8, 0);
    if (!h) return PF_Err_OUT_OF_MEMORY;
    out->sequence_data = h;
    out->flat_sdata_size = 8;
    return PF_Err_NONE;
}

PF_Err growData(PF_InData* in, PF_OutData* out) {
    uint64_t old = in->utils->host_get_handle_size(in->sequence_data);
    PF_Handle h = newRecord(in, old + kGrowBy, 0xAB);
    if (!h) return PF_Err_OUT_OF_MEMORY;
    in->utils->host_dispose_handle(in->sequence_data);
    in->sequence_data = nullptr;
    out->sequence_data = h;  // flat_sdata_size stays at the setup value on purpose
    return PF_Err_NONE;
}

// Checks "Amount" out at frames 0 .. Count - 1 and keeps the values as the
// record, so a test can read the host's interpolation through the callback.
PF_Err checkoutSeries(PF_InData* in, PF_OutData* out, PF_ParamList params) {
    int32_t count = params[3]->u.sd.value;
    PF_Handle h = in->utils->host_new_handle(8 + static_cast<uint64_t>(count) * sizeof(double));
    if (!h) return PF_Err_OUT_OF_MEMORY;
    auto* p = static_cast<unsigned char*>(in->utils->host_lock_handle(h));
    std::memcpy(p, "SERIES\0\0", 8);
    PF_Err last = PF_Err_NONE;
    for (int32_t k = 0; k < count; ++k) {
        PF_ParamDef def{};
        last = in->inter.checkout_param(in->effect_ref, 2, k * in->local_time_step, in->local_time_step,
                                        in->time_scale, &def);
        double v = last ? -999.0 : def.u.fs_d.value;
        std::memcpy(p + 8 + k * sizeof(double), &v, sizeof v);
        if (!last) in->inter.checkin_param(in->effect_ref, &def);
    }
    in->utils->host_unlock_handle(h);
    in->utils->host_dispose_handle(in->sequence_data);
    in->sequence_data = nullptr;
    out->sequence_data = h;
    return last;
}

PF_Err disableNext(PF_InData* in, PF_ParamList params) {
    const void* suite = nullptr;
    if (!in->pica_basicP || in->pica_basicP->AcquireSuite(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion1, &suite) ||
        !suite)
        return PF_Err_NONE;
    PF_ParamDef copy = *params[9];
    copy.ui_flags |= PF_PUI_DISABLED;
    copy.flags |= PF_ParamFlag_COLLAPSE_TWIRLY;
    static_cast<const PF_ParamUtilsSuite1*>(suite)->PF_UpdateParamUI(in->effect_ref, 9, &copy);
    in->pica_basicP->ReleaseSuite(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion1);
    return PF_Err_NONE;
}

PF_Err changed(PF_InData* in, PF_OutData* out, PF_ParamList params, const PF_UserChangedParamExtra* extra) {
    if (!extra || extra->param_index != 1) return PF_Err_NONE;
    switch (params[1]->u.pd.value) {
        case kGrowData: return growData(in, out);
        case kFail:
            std::strcpy(out->return_msg, "probe refused the action");
            return kRefusedAction;
        case kCheckout: return checkoutSeries(in, out, params);
        case kDisableNext: return disableNext(in, params);
        case kRewriteValue:
            params[3]->u.sd.value = 42;
            params[3]->change_flags = PF_ChangeFlag_CHANGED_VALUE;
            return PF_Err_NONE;
        case kBadCheckin: {
            PF_ParamDef def{};
            return in->inter.checkin_param(in->effect_ref, &def);
        }
        default: return PF_Err_NONE;
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) PF_Err ProbeMain(PF_Cmd cmd, PF_InData* in, PF_OutData* out,
                                                                   PF_ParamList params, PF_LayerDef* output,
                                                                   void* extra) __asm__("main");

extern "C" PF_Err ProbeMain(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamList params, PF_LayerDef* output,
                            void* extra) {
    if (!complete(in, cmd) || !out) return kIncompleteInData;
    if (const char* fail = std::getenv("PROBE_FAIL"); fail && std::atoi(fail) == cmd) {
        std::strcpy(out->return_msg, "probe told to fail");
        return kRefusedAction;
    }
    switch (cmd) {
        case PF_Cmd_GLOBAL_SETUP:
            out->my_version = 0x00010000;
            out->out_flags = 0;
            return PF_Err_NONE;
        case PF_Cmd_PARAMS_SETUP: return addParams(in, out);
        case PF_Cmd_SEQUENCE_SETUP: return sequenceSetup(in, out);
        case PF_Cmd_SEQUENCE_RESETUP: return in->sequence_data ? PF_Err_NONE : sequenceSetup(in, out);
        case PF_Cmd_SEQUENCE_FLATTEN:
            out->sequence_data = in->sequence_data;
            in->sequence_data = nullptr;
            return PF_Err_NONE;
        case PF_Cmd_SEQUENCE_SETDOWN:
            if (in->sequence_data) in->utils->host_dispose_handle(in->sequence_data);
            in->sequence_data = nullptr;
            out->sequence_data = nullptr;
            return PF_Err_NONE;
        case PF_Cmd_USER_CHANGED_PARAM:
            return changed(in, out, params, static_cast<const PF_UserChangedParamExtra*>(extra));
        default: return PF_Err_NONE;
    }
}
