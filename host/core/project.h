// Project files: one composition and one effect instance, as JSON. Values
// stay JSON here; the instance checks them against the plug-in's
// definitions when the project is opened.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/core/composition.h"

namespace zolhost {

inline constexpr int kProjectFormat = 1;

struct StoredParam {
    int32_t index = 0;
    std::string name;
    std::string type;
    nlohmann::json value;  // null when the kind has none or it was left out
    std::vector<std::pair<int32_t, nlohmann::json>> keyframes;
    int32_t uiFlags = 0;
    int32_t flags = 0;
};

struct ProjectData {
    Composition comp;
    std::string plugin;      // typing, morphing, digitalizer or a plug-in file
    std::string effectName;  // the plug-in's effect name when it was saved
    std::vector<StoredParam> params;
    std::optional<std::vector<uint8_t>> sequenceData;  // the flattened handle
};

nlohmann::ordered_json projectToJson(const ProjectData& p);
// Throws Error naming the first field that is missing or malformed.
ProjectData projectFromJson(const nlohmann::json& j);

// Throws Error (prefixed with the path) for a missing or malformed file.
ProjectData readProject(const std::string& path);
// Replaces the file in one step: a failed write leaves the old file whole.
void writeProject(const std::string& path, const ProjectData& p);
void writeFileAtomically(const std::string& path, const std::string& text);

// Checks a composition's size, rate and duration; throws Error.
void checkComposition(const Composition& comp);

}  // namespace zolhost
