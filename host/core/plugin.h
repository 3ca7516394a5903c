// One loaded effect plug-in: its property list, its module and entry point,
// and the parameter definitions it registered. Global setup and parameter
// setup run when it is loaded; global setdown when it goes.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/core/callbacks.h"
#include "host/core/composition.h"
#include "platform/effect_api/effect_api.h"
#include "platform/win/winapi.h"

namespace zolhost {

// The effect's property list ("key=value" lines), read from the plug-in file
// without loading it.
struct Properties {
    std::string name, category, entry, version, outFlags;
    std::map<std::string, std::string> all;
};

// Throws Error when the file is missing or carries no property list.
Properties readProperties(const std::string& path);
Properties parseProperties(const std::string& text);

// "global setup", "sequence flatten", ... for messages.
const char* commandName(PF_Cmd cmd);

class Plugin {
public:
    // Throws Error naming the step that failed; nothing stays loaded then.
    static std::unique_ptr<Plugin> load(const std::string& path, const Composition& comp = {});
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    const std::string& path() const { return path_; }
    const Properties& properties() const { return properties_; }
    const std::string& name() const { return properties_.name; }
    const Composition& composition() const { return comp_; }
    // Index 0 is the input layer the host adds; the rest as registered,
    // popup choices and labels held by the host. Point defaults stay in
    // percent of the layer.
    const std::vector<PF_ParamDef>& definitions() const { return definitions_; }
    int32_t numParams() const { return numParams_; }
    uint32_t version() const { return version_; }
    int32_t outFlags() const { return outFlags_; }
    const std::optional<PF_CustomUIInfo>& customUI() const { return customUI_; }

    // Calls the entry point; a C++ exception from a plug-in becomes
    // PF_Err_INTERNAL.
    PF_Err call(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamList params, PF_LayerDef* output,
                void* extra);

    // Callback side.
    PF_Err addParam(std::vector<PF_ParamDef>& into, int32_t index, const PF_ParamDef& def);
    void registerUI(const PF_CustomUIInfo& info) { customUI_ = info; }

private:
    Plugin() = default;
    PF_Err send(PF_Cmd cmd, PF_OutData& out, std::vector<PF_ParamDef>* collecting);
    const char* keep(const char* text);

    std::string path_;
    Properties properties_;
    Composition comp_;
    HMODULE module_ = nullptr;
    PF_EntryFunc entry_ = nullptr;
    bool globalSetUp_ = false;
    EffectContext context_;
    PF_ProgPtr ref_ = nullptr;
    std::vector<PF_ParamDef> definitions_;
    int32_t numParams_ = 0;
    uint32_t version_ = 0;
    int32_t outFlags_ = 0;
    std::optional<PF_CustomUIInfo> customUI_;
    // Stable addresses for the strings definitions point at.
    std::deque<std::string> strings_;
};

}  // namespace zolhost
