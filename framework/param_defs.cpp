#include "framework/param_defs.h"

#include <cstring>

namespace {

// Checkboxes show no text beside the box.
constexpr char kEmptyLabel[] = "";

void copyName(PF_InData* in, char* field, const char* name) {
    if (in->utils && in->utils->ansi.strcpy) {
        in->utils->ansi.strcpy(field, name);
        return;
    }
    // A host without the string callback still gets the name, cut to fit
    // the field with its terminator.
    size_t n = std::strlen(name);
    if (n > PF_MAX_PARAM_NAME_LEN - 1) n = PF_MAX_PARAM_NAME_LEN - 1;
    std::memcpy(field, name, n);
    field[n] = '\0';
}

}  // namespace

int16_t ParamRegistrar::CountChoices(const char* choices) {
    if (!choices) return 0;
    int16_t n = 1;
    for (const char* c = choices; *c; ++c)
        if (*c == '|') ++n;
    return n;
}

bool ParamRegistrar::begin(PF_ParamDef& def, PF_ParamType type, const char* name) {
    if (err_ != PF_Err_NONE) return false;
    if (!in_ || !in_->inter.add_param) {
        err_ = PF_Err_BAD_CALLBACK_PARAM;
        return false;
    }
    // Every byte cleared, so no field of another parameter type carries
    // anything into the host's copy.
    std::memset(static_cast<void*>(&def), 0, sizeof def);
    def.param_type = type;
    copyName(in_, def.name, name);
    return true;
}

void ParamRegistrar::add(PF_ParamDef& def) { err_ = in_->inter.add_param(in_->effect_ref, -1, &def); }

ParamRegistrar& ParamRegistrar::customControl(const char* name, int16_t width, int16_t height) {
    PF_ParamDef def{};
    if (!begin(def, PF_Param_NO_DATA, name)) return *this;
    def.ui_flags = PF_PUI_CONTROL;
    def.ui_width = width;
    def.ui_height = height;
    add(def);
    return *this;
}

ParamRegistrar& ParamRegistrar::popup(const char* name, const char* choices, int16_t dflt) {
    PF_ParamDef def{};
    if (!begin(def, PF_Param_POPUP, name)) return *this;
    def.u.pd.num_choices = CountChoices(choices);
    def.u.pd.dflt = dflt;
    def.u.pd.value = dflt;
    def.u.pd.choices = choices;
    add(def);
    return *this;
}

ParamRegistrar& ParamRegistrar::checkbox(const char* name, bool on) {
    PF_ParamDef def{};
    if (!begin(def, PF_Param_CHECKBOX, name)) return *this;
    def.u.bd.value = on ? 1 : 0;
    def.u.bd.dflt = on ? 1 : 0;
    def.u.bd.label = kEmptyLabel;
    add(def);
    return *this;
}

ParamRegistrar& ParamRegistrar::slider(const SliderRow& row) {
    PF_ParamDef def{};
    if (!begin(def, PF_Param_SLIDER, row.name)) return *this;
    def.u.sd.valid_min = row.validMin;
    def.u.sd.valid_max = row.validMax;
    def.u.sd.slider_min = row.sliderMin;
    def.u.sd.slider_max = row.sliderMax;
    def.u.sd.dflt = row.dflt;
    def.u.sd.value = row.dflt;
    add(def);
    return *this;
}

ParamRegistrar& ParamRegistrar::floatSlider(const FloatSliderRow& row) {
    PF_ParamDef def{};
    if (!begin(def, PF_Param_FLOAT_SLIDER, row.name)) return *this;
    def.u.fs_d.valid_min = row.validMin;
    def.u.fs_d.valid_max = row.validMax;
    def.u.fs_d.slider_min = row.sliderMin;
    def.u.fs_d.slider_max = row.sliderMax;
    def.u.fs_d.dflt = row.dflt;
    def.u.fs_d.value = row.dflt;
    def.u.fs_d.precision = row.precision;
    def.u.fs_d.display_flags = row.percent ? PF_ValueDisplayFlag_PERCENT : PF_ValueDisplayFlag_NONE;
    def.u.fs_d.fs_flags = 0;
    def.u.fs_d.curve_tolerance = 0.05f;
    add(def);
    return *this;
}

ParamRegistrar& ParamRegistrar::angle(const char* name, int32_t degrees) {
    PF_ParamDef def{};
    if (!begin(def, PF_Param_ANGLE, name)) return *this;
    def.u.ad.dflt = degrees * PF_FIXED_ONE;
    def.u.ad.value = def.u.ad.dflt;
    add(def);
    return *this;
}

ParamRegistrar& ParamRegistrar::point(const char* name, int32_t xPercent, int32_t yPercent) {
    PF_ParamDef def{};
    if (!begin(def, PF_Param_POINT, name)) return *this;
    def.u.td.x_dflt = xPercent * PF_FIXED_ONE;
    def.u.td.y_dflt = yPercent * PF_FIXED_ONE;
    def.u.td.restrict_bounds = 0;  // a point may lie off the layer
    add(def);
    return *this;
}

ParamRegistrar& ParamRegistrar::color(const char* name, PF_Pixel dflt) {
    PF_ParamDef def{};
    if (!begin(def, PF_Param_COLOR, name)) return *this;
    def.u.cd.dflt = dflt;
    def.u.cd.value = dflt;
    add(def);
    return *this;
}

ParamRegistrar& ParamRegistrar::groupStart(const char* name) {
    PF_ParamDef def{};
    if (!begin(def, PF_Param_GROUP_START, name)) return *this;
    add(def);
    return *this;
}

ParamRegistrar& ParamRegistrar::groupEnd() {
    PF_ParamDef def{};
    if (!begin(def, PF_Param_GROUP_END, "")) return *this;
    add(def);
    return *this;
}
