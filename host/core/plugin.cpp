#include "host/core/plugin.h"

#include <cstring>
#include <filesystem>
#include <sstream>

#include "host/core/error.h"
#include "host/core/values.h"

namespace zolhost {

std::string describeError(PF_Err err) {
    std::string s = "error " + std::to_string(err);
    switch (err) {
        case PF_Err_OUT_OF_MEMORY: return s + " (out of memory)";
        case PF_Err_INVALID_INDEX: return s + " (invalid index)";
        case PF_Err_BAD_CALLBACK_PARAM: return s + " (bad callback parameter)";
        case PF_Err_INTERNAL: return s + " (internal error)";
        default: return s;
    }
}

const char* commandName(PF_Cmd cmd) {
    switch (cmd) {
        case PF_Cmd_ABOUT: return "about";
        case PF_Cmd_GLOBAL_SETUP: return "global setup";
        case PF_Cmd_GLOBAL_SETDOWN: return "global setdown";
        case PF_Cmd_PARAMS_SETUP: return "parameter setup";
        case PF_Cmd_SEQUENCE_SETUP: return "sequence setup";
        case PF_Cmd_SEQUENCE_RESETUP: return "sequence resetup";
        case PF_Cmd_SEQUENCE_FLATTEN: return "sequence flatten";
        case PF_Cmd_SEQUENCE_SETDOWN: return "sequence setdown";
        case PF_Cmd_DO_DIALOG: return "options dialog";
        case PF_Cmd_RENDER: return "render";
        case PF_Cmd_USER_CHANGED_PARAM: return "parameter change";
        case PF_Cmd_UPDATE_PARAMS_UI: return "controls update";
        case PF_Cmd_EVENT: return "event";
        default: return "command";
    }
}

Properties parseProperties(const std::string& text) {
    Properties p;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\0')) line.pop_back();
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        p.all[line.substr(0, eq)] = line.substr(eq + 1);
    }
    auto get = [&](const char* key) {
        auto it = p.all.find(key);
        return it == p.all.end() ? std::string() : it->second;
    };
    p.name = get("name");
    p.category = get("category");
    p.entry = get("entry");
    p.version = get("version");
    p.outFlags = get("out_flags");
    return p;
}

Properties readProperties(const std::string& path) {
    char resolved[4096] = {};
    ResolvePathNoCase(path.c_str(), resolved, sizeof resolved);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(resolved[0] ? resolved : path.c_str(), ec))
        throw Error("no plug-in file " + path);
    DWORD size = ReadFileResource(path.c_str(), RT_ZOL_PROPERTIES, 1, nullptr, 0);
    if (size == 0) throw Error(path + " is not an effect plug-in: it carries no property list");
    std::string text(size, '\0');
    if (ReadFileResource(path.c_str(), RT_ZOL_PROPERTIES, 1, text.data(), size) != size)
        throw Error("cannot read the property list of " + path);
    Properties p = parseProperties(text);
    if (p.name.empty()) throw Error(path + ": its property list names no effect");
    if (p.entry.empty()) p.entry = "main";
    return p;
}

std::unique_ptr<Plugin> Plugin::load(const std::string& path, const Composition& comp) {
    std::unique_ptr<Plugin> p(new Plugin);
    p->path_ = path;
    p->properties_ = readProperties(path);
    p->comp_ = comp;
    const std::string& name = p->properties_.name;

    p->module_ = LoadLibraryA(path.c_str());
    if (!p->module_)
        throw Error("cannot load plug-in " + path + " (" + name + "): system error " +
                    std::to_string(GetLastError()));
    p->entry_ = reinterpret_cast<PF_EntryFunc>(GetProcAddress(p->module_, p->properties_.entry.c_str()));
    if (!p->entry_) throw Error(name + ": " + path + " has no entry point \"" + p->properties_.entry + "\"");

    p->context_.plugin = p.get();
    p->ref_ = registerContext(&p->context_);

    PF_OutData out{};
    if (PF_Err err = p->send(PF_Cmd_GLOBAL_SETUP, out, nullptr))
        throw Error(name + ": global setup failed with " + describeError(err));
    p->globalSetUp_ = true;
    p->version_ = out.my_version;
    p->outFlags_ = out.out_flags;

    // The input layer is the host's own first parameter.
    PF_ParamDef layer{};
    layer.param_type = PF_Param_LAYER;
    std::vector<PF_ParamDef> defs{layer};
    out = PF_OutData{};
    PF_Err err = p->send(PF_Cmd_PARAMS_SETUP, out, &defs);
    if (err) throw Error(name + ": parameter setup failed with " + describeError(err));
    if (out.num_params != static_cast<int32_t>(defs.size()))
        throw Error(name + ": parameter setup reports " + std::to_string(out.num_params) +
                    " parameters but registered " + std::to_string(defs.size()) + " (the input layer included)");
    p->definitions_ = std::move(defs);
    p->numParams_ = out.num_params;
    return p;
}

Plugin::~Plugin() {
    try {
        if (globalSetUp_) {
            PF_OutData out{};
            send(PF_Cmd_GLOBAL_SETDOWN, out, nullptr);
        }
    } catch (...) {
    }
    if (ref_) unregisterContext(ref_);
    if (module_) FreeLibrary(module_);
}

PF_Err Plugin::call(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamList params, PF_LayerDef* output,
                    void* extra) {
    if (!entry_) return PF_Err_INTERNAL;
    try {
        return entry_(cmd, in, out, params, output, extra);
    } catch (...) {
        return PF_Err_INTERNAL;
    }
}

PF_Err Plugin::send(PF_Cmd cmd, PF_OutData& out, std::vector<PF_ParamDef>* collecting) {
    PF_InData in = makeInData(context_, ref_, comp_, 0, nullptr);
    out.num_params = collecting ? static_cast<int32_t>(collecting->size()) : static_cast<int32_t>(definitions_.size());
    // Plug-in commands see the parameters at their defaults.
    std::vector<PF_ParamDef> copy = definitions_;
    std::vector<PF_ParamDef*> ptrs;
    for (auto& d : copy) ptrs.push_back(&d);
    context_.collecting = collecting;
    PF_Err err = call(cmd, &in, &out, ptrs.empty() ? nullptr : ptrs.data(), nullptr, nullptr);
    context_.collecting = nullptr;
    return err;
}

const char* Plugin::keep(const char* text) {
    strings_.emplace_back(text ? text : "");
    return strings_.back().c_str();
}

PF_Err Plugin::addParam(std::vector<PF_ParamDef>& into, int32_t index, const PF_ParamDef& src) {
    if (index != -1 && index != static_cast<int32_t>(into.size())) return PF_Err_INVALID_INDEX;
    Kind kind = kindOf(src);
    if (kind == Kind::Unknown || kind == Kind::Layer) return PF_Err_BAD_CALLBACK_PARAM;
    PF_ParamDef def = src;
    def.change_flags = PF_ChangeFlag_NONE;
    if (kind == Kind::Popup) {
        if (!def.u.pd.choices) return PF_Err_BAD_CALLBACK_PARAM;
        // A count that disagrees with the choice string would show choices
        // that do not exist or hide some that do.
        auto choices = splitChoices(def.u.pd.choices);
        if (def.u.pd.num_choices < 1 || static_cast<size_t>(def.u.pd.num_choices) != choices.size())
            return PF_Err_BAD_CALLBACK_PARAM;
        def.u.pd.choices = keep(def.u.pd.choices);
    } else if (kind == Kind::Checkbox) {
        def.u.bd.label = keep(def.u.bd.label);
    }
    into.push_back(def);
    return PF_Err_NONE;
}

}  // namespace zolhost
