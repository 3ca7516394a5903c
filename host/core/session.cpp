#include "host/core/session.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "host/core/assignment.h"
#include "host/core/base64.h"
#include "host/core/error.h"
#include "host/core/handles.h"
#include "platform/win/winapi.h"

namespace zolhost {

namespace fs = std::filesystem;
using nlohmann::json;
using nlohmann::ordered_json;

namespace {

struct KnownEffect {
    const char* name;
    const char* file;
};
constexpr KnownEffect kKnownEffects[] = {
    {"typing", "ZOLQuillarine.AEX"},
    {"morphing", "ZOLMorphing.aex"},
    {"digitalizer", "ZOLDigitalizer.aex"},
};

const KnownEffect* knownEffect(const std::string& effect) {
    for (const auto& k : kKnownEffects)
        if (effect == k.name) return &k;
    return nullptr;
}

std::string paramWhere(const Instance& inst, int32_t index) {
    return parameterLabel(inst.definitions(), index);
}

void restoreParams(Instance& inst, const ProjectData& data) {
    const auto defs = inst.definitions();
    for (const StoredParam& s : data.params) {
        if (s.index < 1 || s.index >= static_cast<int32_t>(defs.size()))
            throw Error("parameter " + std::to_string(s.index) + " does not exist: the effect has " +
                        std::to_string(defs.size()) + " parameters");
        const PF_ParamDef& def = defs[static_cast<size_t>(s.index)];
        std::string where = paramWhere(inst, s.index);
        Kind kind = kindOf(def);
        if (!s.type.empty() && s.type != kindName(kind))
            throw Error("parameter " + where + " is a " + kindName(kind) + ", not a " + s.type);
        if (s.name != shownName(def))
            throw Error("parameter " + std::to_string(s.index) + " is \"" + shownName(def) + "\", not \"" + s.name +
                        "\"");
        try {
            if (hasValue(kind)) {
                if (!s.value.is_null()) inst.setValue(s.index, valueFromJson(def, s.value));
                std::vector<Keyframe> keys;
                for (const auto& [frame, value] : s.keyframes) keys.push_back({frame, valueFromJson(def, value)});
                inst.setKeyframes(s.index, std::move(keys));
            } else if (!s.value.is_null() || !s.keyframes.empty()) {
                throw ValueError(std::string("a ") + kindName(kind) + " takes no value");
            }
        } catch (const ValueError& e) {
            throw Error("parameter " + where + ": " + e.what());
        }
        inst.setFlags(s.index, s.uiFlags, s.flags);
    }
}

ordered_json compositionJson(const Composition& c) {
    ordered_json fps = c.fps == std::floor(c.fps) ? ordered_json(static_cast<int64_t>(c.fps)) : ordered_json(c.fps);
    return {{"width", c.width}, {"height", c.height}, {"fps", fps}, {"duration", c.duration}};
}

}  // namespace

std::string pluginDirectory() {
    if (const char* dir = std::getenv("ZOL_PLUGIN_DIR"); dir && *dir) return dir;
    char self[4096] = {};
    if (GetModuleFileNameA(nullptr, self, sizeof self) == 0)
        throw Error("cannot tell where this program lives; set ZOL_PLUGIN_DIR to the plug-in folder");
    return (fs::path(self).parent_path() / ".." / "plugins").lexically_normal().string();
}

std::string resolveEffect(const std::string& effect) {
    if (const KnownEffect* k = knownEffect(effect)) return (fs::path(pluginDirectory()) / k->file).string();
    std::error_code ec;
    if (effect.find('/') == std::string::npos && !fs::exists(effect, ec))
        throw Error("unknown effect \"" + effect + "\": give typing, morphing, digitalizer or a plug-in file");
    return effect;
}

std::string effectReference(const std::string& effect) {
    if (knownEffect(effect)) return effect;
    std::error_code ec;
    fs::path abs = fs::absolute(effect, ec);
    return ec ? effect : abs.lexically_normal().string();
}

std::string shownName(const PF_ParamDef& def) {
    Kind k = kindOf(def);
    if (k == Kind::GroupEnd || k == Kind::Layer) return {};
    return std::string(def.name, strnlen(def.name, sizeof def.name));
}

Session::~Session() {
    instance.reset();
    plugin.reset();
}

void checkResult(PF_Err err, const Plugin& plugin, PF_Cmd cmd, const Instance* instance) {
    if (err == PF_Err_NONE) return;
    std::string msg = plugin.name() + ": " + commandName(cmd) + " failed with " + describeError(err);
    if (instance && !instance->lastMessage().empty()) msg += ": " + instance->lastMessage();
    throw Error(msg);
}

std::unique_ptr<Session> newSession(const std::string& effect, const Composition& comp) {
    checkComposition(comp);
    auto s = std::make_unique<Session>();
    std::string path = resolveEffect(effect);
    s->pluginRef = effectReference(effect);
    s->plugin = Plugin::load(path, comp);
    s->instance = std::make_unique<Instance>(*s->plugin, comp);
    checkResult(s->instance->setup(), *s->plugin, PF_Cmd_SEQUENCE_SETUP, s->instance.get());
    checkResult(s->instance->updateParamsUI(), *s->plugin, PF_Cmd_UPDATE_PARAMS_UI, s->instance.get());
    return s;
}

std::unique_ptr<Session> openProject(const ProjectData& data) {
    auto s = std::make_unique<Session>();
    s->pluginRef = data.plugin;
    s->plugin = Plugin::load(resolveEffect(data.plugin), data.comp);
    if (!data.effectName.empty() && data.effectName != s->plugin->name())
        throw Error("the project holds \"" + data.effectName + "\" but " + data.plugin + " is \"" +
                    s->plugin->name() + "\"");
    s->instance = std::make_unique<Instance>(*s->plugin, data.comp);
    restoreParams(*s->instance, data);
    PF_Handle h = nullptr;
    if (data.sequenceData) {
        h = handles::newHostHandle(*data.sequenceData);
        if (!h) throw Error("the sequence data is too large (" + std::to_string(data.sequenceData->size()) + " bytes)");
    }
    checkResult(s->instance->resetup(h), *s->plugin, PF_Cmd_SEQUENCE_RESETUP, s->instance.get());
    checkResult(s->instance->updateParamsUI(), *s->plugin, PF_Cmd_UPDATE_PARAMS_UI, s->instance.get());
    return s;
}

std::unique_ptr<Session> openProject(const std::string& path) {
    ProjectData data = readProject(path);
    try {
        return openProject(data);
    } catch (const Error& e) {
        throw Error("project " + path + ": " + e.what());
    }
}

ProjectData captureProject(Session& s) {
    Instance& inst = *s.instance;
    ProjectData p;
    p.comp = inst.composition();
    p.plugin = s.pluginRef;
    p.effectName = s.plugin->name();
    std::vector<uint8_t> bytes;
    checkResult(inst.flatten(bytes), *s.plugin, PF_Cmd_SEQUENCE_FLATTEN, &inst);
    // A plug-in that handed back no record has none to save.
    if (inst.sequenceData() || !bytes.empty()) p.sequenceData = std::move(bytes);
    const auto& params = inst.params();
    for (size_t i = 1; i < params.size(); ++i) {
        const PF_ParamDef& def = params[i].def;
        StoredParam sp;
        sp.index = static_cast<int32_t>(i);
        sp.name = shownName(def);
        sp.type = kindName(kindOf(def));
        if (hasValue(kindOf(def))) {
            sp.value = storedValueJson(def, readValue(def));
            for (const Keyframe& k : params[i].keys) sp.keyframes.emplace_back(k.frame, storedValueJson(def, k.value));
        }
        sp.uiFlags = def.ui_flags;
        sp.flags = def.flags;
        p.params.push_back(std::move(sp));
    }
    return p;
}

void saveProject(Session& s, const std::string& path) { writeProject(path, captureProject(s)); }

void applyAssignments(Session& s, const std::vector<std::string>& assignments) {
    Instance& inst = *s.instance;
    for (const std::string& text : assignments) {
        Assignment a = parseAssignment(text, inst.definitions(), inst.composition().duration);
        PF_Err err = inst.apply(a);
        if (err) {
            std::string msg = s.plugin->name() + " refused parameter " + parameterLabel(inst.definitions(), a.index) +
                              ": " + describeError(err);
            if (!inst.lastMessage().empty()) msg += ": " + inst.lastMessage();
            throw Error(msg);
        }
    }
}

ordered_json infoJson(const Plugin& plugin) {
    const Properties& p = plugin.properties();
    ordered_json params = ordered_json::array();
    const auto& defs = plugin.definitions();
    for (size_t i = 0; i < defs.size(); ++i) {
        const PF_ParamDef& d = defs[i];
        Kind kind = kindOf(d);
        ordered_json e = {{"index", i}, {"type", kindName(kind)}, {"name", shownName(d)}, {"default", defaultJson(d)}};
        switch (kind) {
            case Kind::Popup: e["choices"] = splitChoices(d.u.pd.choices); break;
            case Kind::Slider:
                e["valid_min"] = d.u.sd.valid_min;
                e["valid_max"] = d.u.sd.valid_max;
                e["slider_min"] = d.u.sd.slider_min;
                e["slider_max"] = d.u.sd.slider_max;
                break;
            case Kind::FloatSlider:
                e["valid_min"] = floatDecimal(d.u.fs_d.valid_min);
                e["valid_max"] = floatDecimal(d.u.fs_d.valid_max);
                e["slider_min"] = floatDecimal(d.u.fs_d.slider_min);
                e["slider_max"] = floatDecimal(d.u.fs_d.slider_max);
                e["precision"] = d.u.fs_d.precision;
                e["percent"] = (d.u.fs_d.display_flags & PF_ValueDisplayFlag_PERCENT) != 0;
                e["curve_tolerance"] = floatDecimal(d.u.fs_d.curve_tolerance);
                break;
            case Kind::NoData:
                e["ui_width"] = d.ui_width;
                e["ui_height"] = d.ui_height;
                break;
            default: break;
        }
        if (i > 0) {
            e["ui_flags"] = d.ui_flags;
            e["flags"] = d.flags;
        }
        params.push_back(e);
    }
    return {{"name", p.name},
            {"category", p.category},
            {"version", p.version},
            {"out_flags", p.outFlags},
            {"num_params", plugin.numParams()},
            {"params", params}};
}

ordered_json showJson(const Session& s) {
    const Instance& inst = *s.instance;
    ordered_json params = ordered_json::array();
    const auto& ps = inst.params();
    for (size_t i = 0; i < ps.size(); ++i) {
        const PF_ParamDef& d = ps[i].def;
        ordered_json e = {{"index", i},
                  {"name", shownName(d)},
                  {"type", kindName(kindOf(d))},
                  {"value", ps[i].keys.empty() ? valueJson(d, readValue(d))
                                               : valueJson(d, inst.valueAt(static_cast<int32_t>(i), 0))},
                  {"enabled", inst.enabled(static_cast<int32_t>(i))}};
        if (!ps[i].keys.empty()) {
            ordered_json keys = ordered_json::array();
            for (const Keyframe& k : ps[i].keys) keys.push_back({{"frame", k.frame}, {"value", valueJson(d, k.value)}});
            e["keyframes"] = keys;
        }
        params.push_back(e);
    }
    std::vector<uint8_t> bytes = inst.sequenceBytes();
    return {{"effect", s.plugin->name()},
            {"plugin", s.pluginRef},
            {"composition", compositionJson(inst.composition())},
            {"params", params},
            {"sequence_data", {{"size", bytes.size()}, {"base64", base64Encode(bytes)}}}};
}

}  // namespace zolhost
