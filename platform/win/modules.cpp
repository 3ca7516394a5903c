// Modules and libraries. A module record is keyed by the dynamic linker's
// own record of the object, so the handle a plug-in finds for itself while it
// is being attached and the one LoadLibraryA returns are the same.
#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "platform/win/internal.h"

namespace {

struct Module {
    std::string path;
    void* dl = nullptr;  // our own reference from LoadLibraryA, if any
    int loads = 0;       // LoadLibraryA calls not yet freed
    uint32_t handle = 0;
    bool resourcesRead = false;
    std::vector<unsigned char> resources;
};

std::map<const void*, std::unique_ptr<Module>>& modules() {
    static std::map<const void*, std::unique_ptr<Module>> m;
    return m;
}

Module* byHandle(HMODULE h) {
    return static_cast<Module*>(ZolHandleGet(ZolKind_Module, HandleToField(h)));
}

std::string absolutePath(const char* name) {
    std::error_code ec;
    auto p = std::filesystem::absolute(name, ec);
    return ec ? std::string(name) : p.lexically_normal().string();
}

Module* recordFor(const void* linkMap, const char* fileName) {
    auto& all = modules();
    auto it = all.find(linkMap);
    if (it != all.end()) return it->second.get();
    auto m = std::make_unique<Module>();
    m->path = absolutePath(fileName);
    m->handle = ZolHandleAdd(ZolKind_Module, m.get());
    if (m->handle == 0) return nullptr;
    Module* raw = m.get();
    all.emplace(linkMap, std::move(m));
    return raw;
}

std::string programPath() {
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

}  // namespace

namespace zolplat {

std::vector<unsigned char> readElfSection(const std::string& path, const char* section) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    Elf64_Ehdr eh{};
    if (!in.read(reinterpret_cast<char*>(&eh), sizeof eh)) return {};
    if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS64 ||
        eh.e_shentsize != sizeof(Elf64_Shdr) || eh.e_shstrndx >= eh.e_shnum || eh.e_shnum > 4096)
        return {};
    std::vector<Elf64_Shdr> sh(eh.e_shnum);
    in.seekg(static_cast<std::streamoff>(eh.e_shoff));
    if (!in.read(reinterpret_cast<char*>(sh.data()),
                 static_cast<std::streamsize>(sh.size() * sizeof(Elf64_Shdr))))
        return {};
    const Elf64_Shdr& strs = sh[eh.e_shstrndx];
    if (strs.sh_size > (1u << 20)) return {};
    std::vector<char> names(strs.sh_size + 1, '\0');
    in.seekg(static_cast<std::streamoff>(strs.sh_offset));
    if (!in.read(names.data(), static_cast<std::streamsize>(strs.sh_size))) return {};
    for (const Elf64_Shdr& s : sh) {
        if (s.sh_name >= strs.sh_size || std::strcmp(names.data() + s.sh_name, section) != 0) continue;
        if (s.sh_type == SHT_NOBITS || s.sh_size > (256u << 20)) return {};
        std::vector<unsigned char> bytes(s.sh_size);
        in.seekg(static_cast<std::streamoff>(s.sh_offset));
        if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
            return {};
        return bytes;
    }
    return {};
}

const unsigned char* findResource(const std::vector<unsigned char>& block, DWORD type, DWORD id,
                                  DWORD* size) {
    auto rd = [&](size_t at) {
        uint32_t v;
        std::memcpy(&v, block.data() + at, 4);
        return v;
    };
    if (block.size() < 8 || std::memcmp(block.data(), "ZRES", 4) != 0) return nullptr;
    uint64_t count = rd(4);
    if (8 + count * 16 > block.size()) return nullptr;
    for (uint64_t i = 0; i < count; ++i) {
        size_t e = 8 + i * 16;
        if (rd(e) != type || rd(e + 4) != id) continue;
        uint64_t off = rd(e + 8), len = rd(e + 12);
        if (off + len > block.size()) return nullptr;
        if (size) *size = static_cast<DWORD>(len);
        return block.data() + off;
    }
    return nullptr;
}

}  // namespace zolplat

ZOLAPI HMODULE GetModuleHandleFromAddress(const void* address) {
    try {
        Dl_info info{};
        void* extra = nullptr;
        if (!address || !dladdr1(address, &info, &extra, RTLD_DL_LINKMAP) || !extra || !info.dli_fname)
            return nullptr;
        const char* name = info.dli_fname;
        std::string self;
        if (*name == '\0') {  // the program itself
            self = programPath();
            name = self.c_str();
        }
        Module* m = recordFor(extra, name);
        return m ? FieldToHandle<HMODULE>(m->handle) : nullptr;
    } catch (...) {
        return nullptr;
    }
}

ZOLAPI DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) {
    try {
        if (!buffer || size == 0) {
            zolplat::setError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        std::string path;
        if (!module) {
            path = programPath();
        } else if (Module* m = byHandle(module)) {
            path = m->path;
        } else {
            zolplat::setError(ERROR_INVALID_HANDLE);
            buffer[0] = '\0';
            return 0;
        }
        DWORD n = static_cast<DWORD>(std::min<size_t>(path.size(), size - 1));
        std::memcpy(buffer, path.data(), n);
        buffer[n] = '\0';
        return n;
    } catch (...) {
        return 0;
    }
}

ZOLAPI HMODULE LoadLibraryA(const char* path) {
    try {
        if (!path || !*path) {
            zolplat::setError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        std::string resolved = absolutePath(zolplat::resolveNoCase(path).c_str());
        void* dl = dlopen(resolved.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!dl) {
            zolplat::setError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        link_map* lm = nullptr;
        if (dlinfo(dl, RTLD_DI_LINKMAP, &lm) != 0 || !lm) {
            dlclose(dl);
            zolplat::setError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        Module* m = recordFor(lm, resolved.c_str());
        if (!m) {
            dlclose(dl);
            zolplat::setError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        if (m->dl && m->dl == dl) {
            dlclose(dl);  // one reference of ours is enough; count the rest
        } else {
            m->dl = dl;
        }
        ++m->loads;
        return FieldToHandle<HMODULE>(m->handle);
    } catch (...) {
        zolplat::setError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

ZOLAPI FARPROC GetProcAddress(HMODULE module, const char* name) {
    Module* m = byHandle(module);
    if (!m || !name || !m->dl) {
        zolplat::setError(m ? ERROR_PROC_NOT_FOUND : ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* sym = dlsym(m->dl, name);
    if (!sym) {
        zolplat::setError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    FARPROC f;
    static_assert(sizeof f == sizeof sym);
    std::memcpy(&f, &sym, sizeof f);
    return f;
}

ZOLAPI BOOL FreeLibrary(HMODULE module) {
    Module* m = byHandle(module);
    if (!m || m->loads == 0) {
        zolplat::setError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (--m->loads > 0) return TRUE;
    void* dl = m->dl;
    auto& all = modules();
    for (auto it = all.begin(); it != all.end(); ++it) {
        if (it->second.get() == m) {
            ZolHandleRemove(ZolKind_Module, m->handle);
            all.erase(it);
            break;
        }
    }
    if (dl) dlclose(dl);
    return TRUE;
}

ZOLAPI const void* FindModuleResource(HMODULE module, DWORD type, DWORD id, DWORD* size) {
    try {
        Module* m = byHandle(module);
        if (!m) return nullptr;
        if (!m->resourcesRead) {
            m->resources = zolplat::readElfSection(m->path, ".zolres");
            m->resourcesRead = true;
        }
        return zolplat::findResource(m->resources, type, id, size);
    } catch (...) {
        return nullptr;
    }
}

ZOLAPI DWORD ReadFileResource(const char* path, DWORD type, DWORD id, void* buffer, DWORD size) {
    try {
        if (!path) return 0;
        auto block = zolplat::readElfSection(zolplat::resolveNoCase(path), ".zolres");
        DWORD len = 0;
        const unsigned char* data = zolplat::findResource(block, type, id, &len);
        if (!data) return 0;
        if (buffer && size >= len) std::memcpy(buffer, data, len);
        return len;
    } catch (...) {
        return 0;
    }
}
