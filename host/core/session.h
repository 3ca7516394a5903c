// What the command line does with the core: find a plug-in, make or open a
// project, change it, save it, describe it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/core/instance.h"
#include "host/core/plugin.h"
#include "host/core/project.h"

namespace zolhost {

// ZOL_PLUGIN_DIR when set, else the plug-ins folder beside the program's
// own folder (<bin>/../plugins).
std::string pluginDirectory();
// typing, morphing and digitalizer name the shipped plug-ins; anything else
// is the path of a plug-in file. Throws Error for an unknown effect.
std::string resolveEffect(const std::string& effect);
// What a project remembers of `effect`: the short name, or the file's
// absolute path so the project opens from any folder.
std::string effectReference(const std::string& effect);

// The name a parameter is shown with: group ends and the input layer have
// none of their own.
std::string shownName(const PF_ParamDef& def);

struct Session {
    std::string pluginRef;
    std::unique_ptr<Plugin> plugin;
    std::unique_ptr<Instance> instance;

    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session();  // the instance goes before its plug-in
};

// Throws Error when the plug-in's command fails, with its code and message.
void checkResult(PF_Err err, const Plugin& plugin, PF_Cmd cmd, const Instance* instance = nullptr);

// A new instance of `effect`, set up, with the controls brought up to date.
std::unique_ptr<Session> newSession(const std::string& effect, const Composition& comp);
// Opens a project: values, keyframes, flags and sequence data restored, the
// instance reset up and its controls brought up to date.
std::unique_ptr<Session> openProject(const std::string& path);
std::unique_ptr<Session> openProject(const ProjectData& data);
// Flattens the instance and captures everything a project keeps.
ProjectData captureProject(Session& s);
void saveProject(Session& s, const std::string& path);
// Applies every assignment in turn, each followed by the plug-in's
// interplay; the first one refused throws Error.
void applyAssignments(Session& s, const std::vector<std::string>& assignments);

// Keys come in a reading order (index, type, name, ...), not sorted.
nlohmann::ordered_json infoJson(const Plugin& plugin);
nlohmann::ordered_json showJson(const Session& s);

}  // namespace zolhost
