// The registry, kept as one JSON file under the user's configuration folder.
// Each key is an object {"values": {name: {"type", "data"}}, "keys": {...}};
// key names compare without regard to case, as on the original system.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>

#include "platform/win/internal.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

struct Key {
    std::vector<std::string> path;  // root name first
};

const char* rootName(HKEY k) {
    auto v = reinterpret_cast<uintptr_t>(k);
    if (v == 0x80000000u) return "HKEY_CLASSES_ROOT";
    if (v == 0x80000001u) return "HKEY_CURRENT_USER";
    return nullptr;
}

const Key* keyOf(HKEY k, Key& rootHolder) {
    if (const char* root = rootName(k)) {
        rootHolder.path = {root};
        return &rootHolder;
    }
    return static_cast<Key*>(ZolHandleGet(ZolKind_Key, HandleToField(k)));
}

std::string registryFile() { return zolplat::configFolder() + "/registry.json"; }

json load() {
    std::string file = registryFile();
    std::ifstream in(file);
    if (!in) return json::object();
    json j = json::parse(in, nullptr, false);
    if (j.is_object()) return j;
    // Keep a damaged file aside rather than let the next write replace it.
    in.close();
    std::error_code ec;
    fs::rename(file, file + ".damaged", ec);
    return json::object();
}

bool save(const json& j) {
    std::error_code ec;
    fs::create_directories(zolplat::configFolder(), ec);
    std::string file = registryFile();
    std::string tmp = file + ".tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        if (!out) return false;
        out << j.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
        if (!out) return false;
    }
    fs::rename(tmp, file, ec);
    return !ec;
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The node of `path` below `j`; created on the way when `create`.
json* node(json& j, const std::vector<std::string>& path, bool create) {
    json* cur = &j;
    for (const std::string& part : path) {
        json& keys = (*cur)["keys"];
        if (!keys.is_object()) keys = json::object();
        json* next = nullptr;
        for (auto& [name, child] : keys.items())
            if (sameName(name, part)) next = &child;
        if (!next) {
            if (!create) return nullptr;
            next = &(keys[part] = json{{"values", json::object()}, {"keys", json::object()}});
        }
        cur = next;
    }
    return cur;
}

std::vector<std::string> split(const char* sub) {
    std::vector<std::string> parts;
    std::string part;
    for (const char* p = sub ? sub : ""; *p; ++p) {
        if (*p == '\\') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += *p;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

LONG openOrCreate(HKEY parent, const char* subKey, HKEY* result, bool create) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Key rootHolder;
    const Key* base = keyOf(parent, rootHolder);
    if (!base) return ERROR_INVALID_HANDLE;
    auto k = std::make_unique<Key>(*base);
    for (auto& part : split(subKey)) k->path.push_back(part);
    json j = load();
    if (!node(j, k->path, create)) return ERROR_FILE_NOT_FOUND;
    if (create && !save(j)) return ERROR_ACCESS_DENIED;
    uint32_t h = ZolHandleAdd(ZolKind_Key, k.get());
    if (!h) return ERROR_NOT_ENOUGH_MEMORY;
    k.release();
    *result = FieldToHandle<HKEY>(h);
    return ERROR_SUCCESS;
}

}  // namespace

ZOLAPI LONG RegCreateKeyA(HKEY parent, const char* subKey, HKEY* result) {
    try {
        return openOrCreate(parent, subKey, result, true);
    } catch (...) {
        return ERROR_ACCESS_DENIED;
    }
}

ZOLAPI LONG RegOpenKeyA(HKEY parent, const char* subKey, HKEY* result) {
    try {
        return openOrCreate(parent, subKey, result, false);
    } catch (...) {
        return ERROR_ACCESS_DENIED;
    }
}

ZOLAPI LONG RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type,
                           const BYTE* data, DWORD size) {
    try {
        Key rootHolder;
        const Key* k = keyOf(key, rootHolder);
        if (!k) return ERROR_INVALID_HANDLE;
        if (!data && size) return ERROR_INVALID_PARAMETER;
        json j = load();
        json* n = node(j, k->path, true);
        std::string bytes(reinterpret_cast<const char*>(data), data ? size : 0);
        (*n)["values"][name ? name : ""] = json{{"type", type}, {"data", bytes}};
        return save(j) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    } catch (...) {
        return ERROR_ACCESS_DENIED;
    }
}

ZOLAPI LONG RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                             DWORD* size) {
    try {
        Key rootHolder;
        const Key* k = keyOf(key, rootHolder);
        if (!k) return ERROR_INVALID_HANDLE;
        json j = load();
        json* n = node(j, k->path, false);
        if (!n) return ERROR_FILE_NOT_FOUND;
        const json& values = (*n)["values"];
        auto it = values.find(name ? name : "");
        if (it == values.end()) return ERROR_FILE_NOT_FOUND;
        std::string bytes = it->value("data", std::string());
        if (type) *type = it->value("type", DWORD{REG_SZ});
        if (size) {
            if (data && *size < bytes.size()) {
                *size = static_cast<DWORD>(bytes.size());
                return ERROR_NOT_ENOUGH_MEMORY;
            }
            if (data) std::copy(bytes.begin(), bytes.end(), data);
            *size = static_cast<DWORD>(bytes.size());
        }
        return ERROR_SUCCESS;
    } catch (...) {
        return ERROR_ACCESS_DENIED;
    }
}

ZOLAPI LONG RegCloseKey(HKEY key) {
    if (rootName(key)) return ERROR_SUCCESS;
    delete static_cast<Key*>(ZolHandleRemove(ZolKind_Key, HandleToField(key)));
    return ERROR_SUCCESS;
}
