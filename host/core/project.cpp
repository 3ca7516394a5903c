#include "host/core/project.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include "host/core/base64.h"
#include "host/core/error.h"

namespace zolhost {

namespace {

using nlohmann::json;

const json& member(const json& obj, const char* key, const std::string& where) {
    auto it = obj.find(key);
    if (it == obj.end()) throw Error(where + " has no \"" + key + "\"");
    return *it;
}

int64_t integer(const json& v, const std::string& what, int64_t lo, int64_t hi) {
    if (!v.is_number_integer()) throw Error(what + " must be a whole number, not " + v.dump());
    int64_t n = v.get<int64_t>();
    if (n < lo || n > hi)
        throw Error(what + " must lie from " + std::to_string(lo) + " to " + std::to_string(hi) + ", not " +
                    std::to_string(n));
    return n;
}

int32_t flagsField(const json& obj, const char* key, const std::string& where) {
    auto it = obj.find(key);
    if (it == obj.end()) return 0;
    return static_cast<int32_t>(integer(*it, where + " \"" + key + "\"", INT32_MIN, INT32_MAX));
}

json fpsJson(double fps) {
    if (fps == std::floor(fps)) return static_cast<int64_t>(fps);
    return fps;
}

}  // namespace

void checkComposition(const Composition& c) {
    if (c.width < 1 || c.width > kMaxCompositionSide || c.height < 1 || c.height > kMaxCompositionSide)
        throw Error("the composition size " + std::to_string(c.width) + "x" + std::to_string(c.height) +
                    " is out of range (1 to " + std::to_string(kMaxCompositionSide) + " pixels a side)");
    if (!(c.fps > 0.0) || c.fps > kMaxFps || std::lround(c.fps * 1000.0) < 1)
        throw Error("the frame rate must lie above 0 and at most " + std::to_string(static_cast<int>(kMaxFps)));
    if (c.duration < 1 || c.duration > kMaxDuration)
        throw Error("the duration must lie from 1 to " + std::to_string(kMaxDuration) + " frames");
}

nlohmann::ordered_json projectToJson(const ProjectData& p) {
    using nlohmann::ordered_json;
    ordered_json params = ordered_json::array();
    for (const StoredParam& s : p.params) {
        ordered_json e = {{"index", s.index}, {"name", s.name}, {"type", s.type}};
        if (!s.value.is_null()) e["value"] = ordered_json(s.value);
        if (!s.keyframes.empty()) {
            ordered_json keys = ordered_json::array();
            for (const auto& [frame, value] : s.keyframes)
                keys.push_back(ordered_json{{"frame", frame}, {"value", ordered_json(value)}});
            e["keyframes"] = keys;
        }
        e["ui_flags"] = s.uiFlags;
        e["flags"] = s.flags;
        params.push_back(e);
    }
    ordered_json seq = nullptr;
    if (p.sequenceData) seq = ordered_json{{"size", p.sequenceData->size()}, {"base64", base64Encode(*p.sequenceData)}};
    ordered_json out = {
        {"zolhost_project", kProjectFormat},
        {"composition",
         {{"width", p.comp.width}, {"height", p.comp.height}, {"fps", fpsJson(p.comp.fps)},
          {"duration", p.comp.duration}}},
        {"effect", ordered_json{{"plugin", p.plugin}, {"name", p.effectName}, {"params", params}, {"sequence_data", seq}}},
    };
    return out;
}

ProjectData projectFromJson(const json& j) {
    if (!j.is_object()) throw Error("a project is a JSON object");
    ProjectData p;
    const json& format = member(j, "zolhost_project", "the project");
    if (integer(format, "\"zolhost_project\"", 0, INT32_MAX) != kProjectFormat)
        throw Error("project format " + format.dump() + " is not known to this zolhost");

    const json& comp = member(j, "composition", "the project");
    if (!comp.is_object()) throw Error("\"composition\" must be an object");
    p.comp.width = static_cast<int32_t>(integer(member(comp, "width", "\"composition\""), "the composition width", 1,
                                                kMaxCompositionSide));
    p.comp.height = static_cast<int32_t>(integer(member(comp, "height", "\"composition\""),
                                                 "the composition height", 1, kMaxCompositionSide));
    const json& fps = member(comp, "fps", "\"composition\"");
    if (!fps.is_number()) throw Error("the frame rate must be a number, not " + fps.dump());
    p.comp.fps = fps.get<double>();
    p.comp.duration = static_cast<int32_t>(
        integer(member(comp, "duration", "\"composition\""), "the duration", 1, kMaxDuration));
    checkComposition(p.comp);

    const json& effect = member(j, "effect", "the project");
    if (!effect.is_object()) throw Error("\"effect\" must be an object");
    const json& plugin = member(effect, "plugin", "\"effect\"");
    if (!plugin.is_string() || plugin.get<std::string>().empty())
        throw Error("\"effect\" \"plugin\" must name a plug-in");
    p.plugin = plugin.get<std::string>();
    if (auto it = effect.find("name"); it != effect.end()) {
        if (!it->is_string()) throw Error("\"effect\" \"name\" must be a string");
        p.effectName = it->get<std::string>();
    }

    std::set<int32_t> seen;
    if (auto it = effect.find("params"); it != effect.end()) {
        if (!it->is_array()) throw Error("\"effect\" \"params\" must be an array");
        for (const json& e : *it) {
            if (!e.is_object()) throw Error("every entry of \"params\" must be an object");
            StoredParam s;
            s.index = static_cast<int32_t>(integer(member(e, "index", "a parameter"), "a parameter index", 0, 9999));
            std::string where = "parameter " + std::to_string(s.index);
            if (!seen.insert(s.index).second) throw Error(where + " appears twice");
            if (auto n = e.find("name"); n != e.end()) {
                if (!n->is_string()) throw Error(where + ": \"name\" must be a string");
                s.name = n->get<std::string>();
            }
            if (auto t = e.find("type"); t != e.end()) {
                if (!t->is_string()) throw Error(where + ": \"type\" must be a string");
                s.type = t->get<std::string>();
            }
            if (auto v = e.find("value"); v != e.end()) s.value = *v;
            if (auto k = e.find("keyframes"); k != e.end()) {
                if (!k->is_array()) throw Error(where + ": \"keyframes\" must be an array");
                std::set<int32_t> frames;
                for (const json& key : *k) {
                    if (!key.is_object()) throw Error(where + ": every keyframe must be an object");
                    auto frame = static_cast<int32_t>(
                        integer(member(key, "frame", where + ": a keyframe"), where + ": a keyframe's frame", 0,
                                kMaxDuration - 1));
                    if (!frames.insert(frame).second)
                        throw Error(where + ": two keyframes at frame " + std::to_string(frame));
                    s.keyframes.emplace_back(frame, member(key, "value", where + ": a keyframe"));
                }
            }
            s.uiFlags = flagsField(e, "ui_flags", where);
            s.flags = flagsField(e, "flags", where);
            p.params.push_back(std::move(s));
        }
    }

    if (auto it = effect.find("sequence_data"); it != effect.end() && !it->is_null()) {
        if (!it->is_object()) throw Error("\"sequence_data\" must be an object or null");
        int64_t size = integer(member(*it, "size", "\"sequence_data\""), "the sequence data size", 0, INT32_MAX);
        const json& text = member(*it, "base64", "\"sequence_data\"");
        if (!text.is_string()) throw Error("the sequence data must be base64 text");
        auto bytes = base64Decode(text.get<std::string>());
        if (!bytes) throw Error("the sequence data is not well-formed base64");
        if (static_cast<int64_t>(bytes->size()) != size)
            throw Error("the sequence data holds " + std::to_string(bytes->size()) + " bytes but its size says " +
                        std::to_string(size));
        p.sequenceData = std::move(*bytes);
    }
    return p;
}

ProjectData readProject(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) throw Error("no project file " + path);
    if (!std::filesystem::is_regular_file(path, ec)) throw Error("project " + path + " is not a file");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("cannot open project " + path);
    std::stringstream buf;
    buf << in.rdbuf();
    if (in.bad()) throw Error("cannot read project " + path);
    json j;
    try {
        j = json::parse(buf.str());
    } catch (const json::parse_error& e) {
        std::string what = e.what();
        // nlohmann's text starts with its own tag; the position is what helps.
        if (auto colon = what.find(": "); colon != std::string::npos) what = what.substr(colon + 2);
        throw Error("project " + path + " is not valid JSON: " + what);
    }
    try {
        return projectFromJson(j);
    } catch (const Error& e) {
        throw Error("project " + path + ": " + e.what());
    }
}

void writeFileAtomically(const std::string& path, const std::string& text) {
    namespace fs = std::filesystem;
    fs::path target(path);
    std::random_device rd;
    fs::path temp = target;
    temp += ".tmp-" + std::to_string(rd()) + std::to_string(rd());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) throw Error("cannot write " + path + ": cannot create " + temp.string());
        out << text;
        out.flush();
        if (!out) {
            out.close();
            std::error_code ec;
            fs::remove(temp, ec);
            throw Error("cannot write " + path);
        }
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw Error("cannot write " + path + ": " + ec.message());
    }
}

void writeProject(const std::string& path, const ProjectData& p) {
    writeFileAtomically(path, projectToJson(p).dump(2, ' ', false, json::error_handler_t::replace) + "\n");
}

}  // namespace zolhost
