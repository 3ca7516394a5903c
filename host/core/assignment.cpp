#include "host/core/assignment.h"

#include <charconv>
#include <cstring>

#include "host/core/error.h"

namespace zolhost {

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool allDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

bool named(const PF_ParamDef& def) {
    Kind k = kindOf(def);
    return k != Kind::GroupEnd && k != Kind::Layer;
}

std::string nameOf(const PF_ParamDef& def) {
    return std::string(def.name, strnlen(def.name, sizeof def.name));
}

}  // namespace

std::string parameterLabel(const std::vector<PF_ParamDef>& defs, int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(defs.size())) return "parameter " + std::to_string(index);
    const PF_ParamDef& def = defs[static_cast<size_t>(index)];
    std::string name = named(def) ? nameOf(def) : std::string();
    if (name.empty()) return "parameter " + std::to_string(index) + " (" + kindName(kindOf(def)) + ")";
    return "\"" + name + "\" (" + std::to_string(index) + ")";
}

int32_t findParameter(const std::vector<PF_ParamDef>& defs, std::string_view name) {
    const int32_t count = static_cast<int32_t>(defs.size());
    if (allDigits(name)) {
        int32_t index = -1;
        auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), index);
        if (ec != std::errc() || end != name.data() + name.size() || index >= count)
            throw Error("unknown parameter " + std::string(name) + ": indices run from 0 to " +
                        std::to_string(count - 1));
        return index;
    }
    // A registered name holds at most PF_MAX_PARAM_NAME_LEN characters; a
    // user who writes a longer name means the one it was cut to.
    if (name.size() > PF_MAX_PARAM_NAME_LEN) name = name.substr(0, PF_MAX_PARAM_NAME_LEN);
    // Two passes: the exact name, then the name without regard to case. In
    // each, a parameter with a value wins over a group of the same name.
    for (bool fold : {false, true}) {
        std::string want = fold ? lower(name) : std::string(name);
        std::vector<int32_t> hits;
        for (int32_t i = 0; i < count; ++i) {
            const PF_ParamDef& def = defs[static_cast<size_t>(i)];
            if (!named(def)) continue;
            std::string have = fold ? lower(nameOf(def)) : nameOf(def);
            if (have == want) hits.push_back(i);
        }
        if (hits.size() > 1) {
            std::vector<int32_t> valued;
            for (int32_t i : hits)
                if (hasValue(kindOf(defs[static_cast<size_t>(i)]))) valued.push_back(i);
            if (valued.size() == 1) return valued.front();
            throw Error("parameter name \"" + std::string(name) + "\" is ambiguous: give its index (" +
                        std::to_string(hits[0]) + " or " + std::to_string(hits[1]) + ")");
        }
        if (hits.size() == 1) return hits.front();
    }
    throw Error("unknown parameter \"" + std::string(name) + "\"");
}

Assignment parseAssignment(std::string_view text, const std::vector<PF_ParamDef>& defs, int32_t duration) {
    size_t eq = text.find('=');
    if (eq == std::string_view::npos || eq == 0)
        throw Error("\"" + std::string(text) + "\" is not an assignment: write NAME=VALUE or NAME@FRAME=VALUE");
    std::string_view left = text.substr(0, eq), right = text.substr(eq + 1);

    Assignment a;
    std::string_view name = left;
    std::string_view frameText;
    bool keyed = false;
    if (size_t at = left.rfind('@'); at != std::string_view::npos) {
        name = left.substr(0, at);
        frameText = left.substr(at + 1);
        keyed = true;
    }
    a.index = findParameter(defs, name);
    const PF_ParamDef& def = defs[static_cast<size_t>(a.index)];
    const std::string label = parameterLabel(defs, a.index);
    Kind kind = kindOf(def);
    if (!hasValue(kind))
        throw Error("parameter " + label + " is a " + kindName(kind) + " and takes no value");
    if (keyed) {
        int32_t frame = -1;
        auto [end, ec] = std::from_chars(frameText.data(), frameText.data() + frameText.size(), frame);
        if (frameText.empty() || ec != std::errc() || end != frameText.data() + frameText.size())
            throw Error("parameter " + label + ": frame \"" + std::string(frameText) + "\" is not a whole number");
        if (frame < 0 || frame >= duration)
            throw Error("parameter " + label + ": frame " + std::to_string(frame) +
                        " lies outside the composition (frames 0 to " + std::to_string(duration - 1) + ")");
        a.frame = frame;
    }
    try {
        a.value = parseValueText(def, right);
    } catch (const ValueError& e) {
        throw Error("parameter " + label + ": " + e.what());
    }
    return a;
}

}  // namespace zolhost
