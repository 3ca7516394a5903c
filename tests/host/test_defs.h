// Parameter definitions built by hand, for tests that need a parameter list
// without a plug-in.
#pragma once

#include <cstring>
#include <string>

#include "platform/effect_api/effect_api.h"

namespace testdefs {

inline PF_ParamDef base(PF_ParamType type, const char* name) {
    PF_ParamDef d{};
    d.param_type = type;
    size_t n = strnlen(name, PF_MAX_PARAM_NAME_LEN);
    std::memcpy(d.name, name, n);
    return d;
}
inline PF_ParamDef layer() { return base(PF_Param_LAYER, ""); }
inline PF_ParamDef noData(const char* name) { return base(PF_Param_NO_DATA, name); }
inline PF_ParamDef groupStart(const char* name) { return base(PF_Param_GROUP_START, name); }
inline PF_ParamDef groupEnd(const char* leftover) { return base(PF_Param_GROUP_END, leftover); }
inline PF_ParamDef popup(const char* name, const char* choices, int16_t count, int16_t dflt = 1) {
    PF_ParamDef d = base(PF_Param_POPUP, name);
    d.u.pd.choices = choices;
    d.u.pd.num_choices = count;
    d.u.pd.dflt = dflt;
    d.u.pd.value = dflt;
    return d;
}
inline PF_ParamDef checkbox(const char* name, int32_t dflt = 0) {
    PF_ParamDef d = base(PF_Param_CHECKBOX, name);
    d.u.bd.value = d.u.bd.dflt = dflt;
    return d;
}
inline PF_ParamDef slider(const char* name, int32_t lo, int32_t hi, int32_t dflt = 0) {
    PF_ParamDef d = base(PF_Param_SLIDER, name);
    d.u.sd.valid_min = d.u.sd.slider_min = lo;
    d.u.sd.valid_max = d.u.sd.slider_max = hi;
    d.u.sd.value = d.u.sd.dflt = dflt;
    return d;
}
inline PF_ParamDef floatSlider(const char* name, float lo, float hi, double dflt = 0) {
    PF_ParamDef d = base(PF_Param_FLOAT_SLIDER, name);
    d.u.fs_d.valid_min = d.u.fs_d.slider_min = lo;
    d.u.fs_d.valid_max = d.u.fs_d.slider_max = hi;
    d.u.fs_d.value = d.u.fs_d.dflt = dflt;
    return d;
}
inline PF_ParamDef angle(const char* name, int deg = 0) {
    PF_ParamDef d = base(PF_Param_ANGLE, name);
    d.u.ad.value = d.u.ad.dflt = deg * PF_FIXED_ONE;
    return d;
}
inline PF_ParamDef point(const char* name) { return base(PF_Param_POINT, name); }
inline PF_ParamDef color(const char* name) {
    PF_ParamDef d = base(PF_Param_COLOR, name);
    d.u.cd.value = d.u.cd.dflt = PF_Pixel{255, 255, 0, 0};
    return d;
}

}  // namespace testdefs
