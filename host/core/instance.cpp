#include "host/core/instance.h"

#include <cmath>
#include <cstring>

#include "host/core/handles.h"
#include "host/core/plugin.h"

namespace zolhost {

namespace {
constexpr int32_t kInterplayBits = PF_PUI_DISABLED;
}

Instance::Instance(Plugin& plugin, const Composition& comp) : plugin_(plugin), comp_(comp) {
    for (const PF_ParamDef& d : plugin.definitions()) {
        ParamState s;
        s.def = d;
        // A new instance starts at the defaults.
        switch (kindOf(d)) {
            case Kind::Popup: s.def.u.pd.value = d.u.pd.dflt; break;
            case Kind::Checkbox: s.def.u.bd.value = d.u.bd.dflt; break;
            case Kind::Slider: s.def.u.sd.value = d.u.sd.dflt; break;
            case Kind::FloatSlider: s.def.u.fs_d.value = d.u.fs_d.dflt; break;
            case Kind::Angle: s.def.u.ad.value = d.u.ad.dflt; break;
            case Kind::Color: s.def.u.cd.value = d.u.cd.dflt; break;
            case Kind::Point:
                // Defaults are percent of the layer; values are its pixels.
                s.def.u.td.x_value = static_cast<PF_Fixed>(
                    std::llround(static_cast<double>(d.u.td.x_dflt) * comp.width / 100.0));
                s.def.u.td.y_value = static_cast<PF_Fixed>(
                    std::llround(static_cast<double>(d.u.td.y_dflt) * comp.height / 100.0));
                break;
            default: break;
        }
        params_.push_back(s);
    }
    context_.plugin = &plugin;
    context_.instance = this;
    ref_ = registerContext(&context_);
}

Instance::~Instance() {
    try {
        if (setUp_) setdown();
    } catch (...) {
    }
    if (sequenceData_) handles::dispose(sequenceData_);
    unregisterContext(ref_);
}

PF_Err Instance::send(PF_Cmd cmd, const CallOptions& opts) {
    std::vector<PF_ParamDef> working = paramsAt(opts.frame);
    if (opts.input) working[0].u.ld = *opts.input;
    inputLayer_ = working[0].u.ld;
    std::vector<PF_ParamDef*> ptrs;
    ptrs.reserve(working.size());
    for (auto& d : working) ptrs.push_back(&d);

    PF_InData in = makeInData(context_, ref_, comp_, opts.frame, sequenceData_);
    in.quality = opts.quality;
    in.downsample_x = opts.downsampleX;
    in.downsample_y = opts.downsampleY;
    PF_OutData out{};
    out.num_params = static_cast<int32_t>(working.size());
    out.sequence_data = sequenceData_;
    out.flat_sdata_size = flatSize_;

    context_.working = &working;
    PF_Err err = plugin_.call(cmd, &in, &out, ptrs.data(), opts.output, opts.extra);
    context_.working = nullptr;

    out.return_msg[sizeof out.return_msg - 1] = '\0';
    lastMessage_ = out.return_msg;
    lastOutFlags_ = out.out_flags;
    PF_Handle before = sequenceData_;
    if (cmd == PF_Cmd_SEQUENCE_SETDOWN) {
        // Whatever the plug-in left of its record is the host's to free.
        if (handles::isLive(before)) handles::dispose(before);
        if (out.sequence_data != before && handles::isLive(out.sequence_data)) handles::dispose(out.sequence_data);
        sequenceData_ = nullptr;
    } else {
        sequenceData_ = out.sequence_data;
        flatSize_ = out.flat_sdata_size;
    }

    // A plug-in may rewrite a value (a preset it loads): the host keeps it,
    // as a keyframe at the command's time when the parameter is animated.
    if (cmd != PF_Cmd_RENDER) {
        for (size_t i = 1; i < working.size() && i < params_.size(); ++i) {
            if (!(working[i].change_flags & PF_ChangeFlag_CHANGED_VALUE)) continue;
            PF_ParamDef probe = params_[i].def;
            writeValue(probe, readValue(working[i]));
            Value v = readValue(probe);
            try {
                checkRange(probe, v);
            } catch (const ValueError&) {
                continue;
            }
            if (params_[i].keys.empty())
                writeValue(params_[i].def, v);
            else
                zolhost::setKeyframe(params_[i].keys, opts.frame, v);
        }
    }
    return err;
}

PF_Err Instance::setup() {
    PF_Err err = send(PF_Cmd_SEQUENCE_SETUP);
    setUp_ = true;
    return err;
}

PF_Err Instance::resetup(PF_Handle sequenceData) {
    if (sequenceData_ && sequenceData_ != sequenceData) handles::dispose(sequenceData_);
    sequenceData_ = sequenceData;
    flatSize_ = static_cast<int32_t>(handles::size(sequenceData));
    PF_Err err = send(PF_Cmd_SEQUENCE_RESETUP);
    setUp_ = true;
    return err;
}

PF_Err Instance::flatten(std::vector<uint8_t>& bytes) {
    if (PF_Err err = send(PF_Cmd_SEQUENCE_FLATTEN)) return err;
    bytes = handles::bytes(sequenceData_);
    return send(PF_Cmd_SEQUENCE_RESETUP);
}

PF_Err Instance::updateParamsUI(int32_t frame) {
    CallOptions o;
    o.frame = frame;
    return send(PF_Cmd_UPDATE_PARAMS_UI, o);
}

PF_Err Instance::userChangedParam(int32_t index, int32_t frame) {
    PF_UserChangedParamExtra extra{index};
    CallOptions o;
    o.frame = frame;
    o.extra = &extra;
    return send(PF_Cmd_USER_CHANGED_PARAM, o);
}

PF_Err Instance::setdown() {
    PF_Err err = send(PF_Cmd_SEQUENCE_SETDOWN);
    setUp_ = false;
    return err;
}

std::vector<PF_ParamDef> Instance::definitions() const {
    std::vector<PF_ParamDef> defs;
    defs.reserve(params_.size());
    for (const auto& p : params_) defs.push_back(p.def);
    return defs;
}

std::vector<PF_ParamDef> Instance::paramsAt(double frame) const {
    std::vector<PF_ParamDef> defs = definitions();
    for (size_t i = 0; i < params_.size(); ++i) {
        if (!params_[i].keys.empty()) writeValue(defs[i], valueAt(static_cast<int32_t>(i), frame));
        defs[i].change_flags = PF_ChangeFlag_NONE;
    }
    return defs;
}

Value Instance::valueAt(int32_t index, double frame) const {
    const ParamState& p = params_.at(static_cast<size_t>(index));
    return zolhost::valueAt(kindOf(p.def), readValue(p.def), p.keys, frame);
}

void Instance::setValue(int32_t index, const Value& v) {
    ParamState& p = params_.at(static_cast<size_t>(index));
    writeValue(p.def, v);
    p.keys.clear();
}

void Instance::setKeyframe(int32_t index, int32_t frame, const Value& v) {
    zolhost::setKeyframe(params_.at(static_cast<size_t>(index)).keys, frame, v);
}

void Instance::setKeyframes(int32_t index, std::vector<Keyframe> keys) {
    ParamState& p = params_.at(static_cast<size_t>(index));
    p.keys.clear();
    for (const auto& k : keys) zolhost::setKeyframe(p.keys, k.frame, k.value);
}

void Instance::setFlags(int32_t index, int32_t uiFlags, int32_t flags) {
    ParamState& p = params_.at(static_cast<size_t>(index));
    p.def.ui_flags = uiFlags;
    p.def.flags = flags;
}

bool Instance::enabled(int32_t index) const {
    return !(params_.at(static_cast<size_t>(index)).def.ui_flags & kInterplayBits);
}

PF_Err Instance::apply(const Assignment& a) {
    if (a.frame)
        setKeyframe(a.index, *a.frame, a.value);
    else
        setValue(a.index, a.value);
    return userChangedParam(a.index, a.frame.value_or(0));
}

std::vector<uint8_t> Instance::sequenceBytes() const { return handles::bytes(sequenceData_); }

PF_Err Instance::checkout(int32_t index, int32_t time, int32_t step, uint32_t scale, PF_ParamDef& out) {
    if (index < 0 || index >= static_cast<int32_t>(params_.size())) return PF_Err_INVALID_INDEX;
    if (scale == 0) return PF_Err_BAD_CALLBACK_PARAM;
    // The plug-in's clock may differ from the host's; on the host's own
    // clock a whole frame stays whole.
    double frame = static_cast<double>(time) * comp_.timeScale() / scale / comp_.timeStep();
    if (double r = std::round(frame); std::fabs(frame - r) < 1e-9) frame = r;
    out = params_[static_cast<size_t>(index)].def;
    writeValue(out, valueAt(index, frame));
    out.change_flags = PF_ChangeFlag_NONE;
    if (index == 0) out.u.ld = inputLayer_;
    ++checkedOut_;
    return PF_Err_NONE;
}

PF_Err Instance::checkin(PF_ParamDef& def) {
    if (checkedOut_ <= 0) return PF_Err_BAD_CALLBACK_PARAM;
    --checkedOut_;
    return PF_Err_NONE;
}

PF_Err Instance::updateParamUI(int32_t index, const PF_ParamDef& def) {
    if (index < 0 || index >= static_cast<int32_t>(params_.size())) return PF_Err_INVALID_INDEX;
    auto& mine = params_[static_cast<size_t>(index)].def;
    mine.ui_flags = def.ui_flags;
    mine.flags = def.flags;
    if (context_.working && static_cast<size_t>(index) < context_.working->size()) {
        (*context_.working)[static_cast<size_t>(index)].ui_flags = def.ui_flags;
        (*context_.working)[static_cast<size_t>(index)].flags = def.flags;
    }
    return PF_Err_NONE;
}

void Instance::progress(int32_t current, int32_t total) {
    if (onProgress) onProgress(current, total);
}

}  // namespace zolhost
