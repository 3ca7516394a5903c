// One applied effect: its parameters with their values, keyframes and the
// flags the plug-in's interplay sets, and its sequence data. Every command is
// sent with in_data/out_data fully set and the parameters at the command's
// time; rendering later adds an output world and the input layer through
// CallOptions.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/core/assignment.h"
#include "host/core/callbacks.h"
#include "host/core/composition.h"
#include "host/core/values.h"
#include "platform/effect_api/effect_api.h"

namespace zolhost {

class Plugin;

struct CallOptions {
    int32_t frame = 0;
    PF_Quality quality = PF_Quality_HI;
    PF_RationalScale downsampleX{1, 1}, downsampleY{1, 1};
    PF_LayerDef* output = nullptr;
    // The pixels of the input layer, handed over as parameter 0.
    const PF_LayerDef* input = nullptr;
    void* extra = nullptr;
};

struct ParamState {
    PF_ParamDef def{};  // the static value and the current flags
    std::vector<Keyframe> keys;
};

class Instance {
public:
    // A new instance at the plug-in's defaults; point defaults become layer
    // pixels of the composition. Nothing is sent until setup or resetup.
    // The plug-in must outlive the instance: its definitions' strings are
    // the plug-in's.
    Instance(Plugin& plugin, const Composition& comp);
    // Sends sequence setdown if the instance is still set up.
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    Plugin& plugin() { return plugin_; }
    PF_ProgPtr effectRef() const { return ref_; }
    const Composition& composition() const { return comp_; }

    // ---------------------------------------------------------------- commands
    // Each returns the plug-in's result; lastMessage() has its return_msg.
    PF_Err setup();
    // Adopts `sequenceData` (may be null) and resets the instance up on it.
    PF_Err resetup(PF_Handle sequenceData);
    // Flattens, copies the whole flat handle (its real size, whatever
    // flat_sdata_size says) and resets up so the instance goes on working.
    PF_Err flatten(std::vector<uint8_t>& bytes);
    PF_Err updateParamsUI(int32_t frame = 0);
    PF_Err userChangedParam(int32_t index, int32_t frame = 0);
    PF_Err setdown();
    // Any command, with the parameters at opts.frame.
    PF_Err send(PF_Cmd cmd, const CallOptions& opts = {});

    // ---------------------------------------------------------------- parameters
    const std::vector<ParamState>& params() const { return params_; }
    // The definitions with their static values and current flags.
    std::vector<PF_ParamDef> definitions() const;
    std::vector<PF_ParamDef> paramsAt(double frame) const;
    Value valueAt(int32_t index, double frame) const;
    // A static value replaces the keyframes: the parameter is constant.
    void setValue(int32_t index, const Value& v);
    void setKeyframe(int32_t index, int32_t frame, const Value& v);
    void setKeyframes(int32_t index, std::vector<Keyframe> keys);
    void setFlags(int32_t index, int32_t uiFlags, int32_t flags);
    bool enabled(int32_t index) const;
    // Sets the value (or keyframe) and tells the plug-in.
    PF_Err apply(const Assignment& a);

    // ---------------------------------------------------------------- sequence data
    PF_Handle sequenceData() const { return sequenceData_; }
    std::vector<uint8_t> sequenceBytes() const;
    int32_t flatSize() const { return flatSize_; }

    const std::string& lastMessage() const { return lastMessage_; }
    int32_t lastOutFlags() const { return lastOutFlags_; }
    // Parameter checkouts not yet checked in.
    int checkedOut() const { return checkedOut_; }
    std::function<void(int32_t current, int32_t total)> onProgress;

    // ---------------------------------------------------------------- callback side
    PF_Err checkout(int32_t index, int32_t time, int32_t step, uint32_t scale, PF_ParamDef& out);
    PF_Err checkin(PF_ParamDef& def);
    PF_Err updateParamUI(int32_t index, const PF_ParamDef& def);
    void progress(int32_t current, int32_t total);

private:
    Plugin& plugin_;
    Composition comp_;
    std::vector<ParamState> params_;
    EffectContext context_;
    PF_ProgPtr ref_ = nullptr;
    PF_Handle sequenceData_ = nullptr;
    int32_t flatSize_ = 0;
    bool setUp_ = false;
    std::string lastMessage_;
    int32_t lastOutFlags_ = 0;
    int checkedOut_ = 0;
    PF_LayerDef inputLayer_{};
};

}  // namespace zolhost
