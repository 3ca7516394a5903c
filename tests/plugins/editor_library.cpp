// A stand-in for the shared library's editors, for the plug-ins' edit
// commands. It is told what to do by files beside itself and reports what
// it saw the same way:
//   answer.txt    "ok" or "cancel" (missing: cancel); "ok-remove" answers Ok
//                 after deleting the interchange files
//   reply1.tmp    bytes the editor writes back to stream.tmp (missing: kept)
//   reply2.tmp    the same for stream2.tmp
//   symbols.txt   the set the symbol dialog returns on Ok, one symbol per
//                 line: CHARACTER HEIGHT WEIGHT FACE...
//   seen1.tmp, seen2.tmp   what the interchange files held on entry
//   seen_symbols.txt       the block handed in: one line per entry
//   deleted.txt            one line per DeleteHideRich call
#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/library_binding.h"
#include "framework/symbol_set.h"
#include "platform/gdi/gdi.h"
#include "platform/win/winapi.h"

#define EDITOR_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

namespace fs = std::filesystem;

fs::path folder() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&folder), &info) || !info.dli_fname) return {};
    return fs::path(info.dli_fname).parent_path();
}

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeAll(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string answer() {
    std::string a = readAll(folder() / "answer.txt");
    while (!a.empty() && (a.back() == '\n' || a.back() == '\r')) a.pop_back();
    return a;
}

// Notes what the interchange file held and writes the reply, if any.
void exchange(const char* name, const char* seen, const char* reply) {
    const fs::path f = folder() / name;
    if (fs::exists(f)) fs::copy_file(f, folder() / seen, fs::copy_options::overwrite_existing);
    if (fs::exists(folder() / reply)) writeAll(f, readAll(folder() / reply));
}

int32_t close(const char* first, const char* second) {
    const std::string a = answer();
    if (a == "ok-remove") {
        fs::remove(folder() / first);
        if (second) fs::remove(folder() / second);
        return -1;
    }
    return a == "ok" ? -1 : 0;
}

}  // namespace

EDITOR_EXPORT int32_t EditProperties(HWND) {
    exchange("stream.tmp", "seen1.tmp", "reply1.tmp");
    return close("stream.tmp", nullptr);
}

EDITOR_EXPORT int32_t Edit2Properties(HWND) {
    exchange("stream.tmp", "seen1.tmp", "reply1.tmp");
    exchange("stream2.tmp", "seen2.tmp", "reply2.tmp");
    return close("stream.tmp", "stream2.tmp");
}

EDITOR_EXPORT int32_t EditDigitalizer(HWND, SymbolSet** set) {
    std::ostringstream seen;
    const auto* block = reinterpret_cast<const uint8_t*>(*set);
    int32_t count = 0;
    if (block) std::memcpy(&count, block, 4);
    seen << count << "\n";
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* e = block + kSymbolSetHeader + i * SymbolEntryLayout::size;
        LOGFONTA f;
        std::memcpy(&f, e + SymbolEntryLayout::font, sizeof f);
        seen << static_cast<char>(e[SymbolEntryLayout::character]) << " " << f.lfHeight << " " << f.lfWeight << " "
             << std::string(f.lfFaceName, strnlen(f.lfFaceName, LF_FACESIZE)) << "\n";
    }
    writeAll(folder() / "seen_symbols.txt", seen.str());
    if (answer() != "ok") return 0;

    std::istringstream lines(readAll(folder() / "symbols.txt"));
    std::string line;
    std::string chars;
    std::vector<LOGFONTA> fonts;
    while (std::getline(lines, line)) {
        if (line.empty()) continue;
        std::istringstream fields(line.substr(1));
        LOGFONTA f;
        std::memset(&f, 0, sizeof f);
        std::string face;
        fields >> f.lfHeight >> f.lfWeight;
        std::getline(fields >> std::ws, face);
        std::strncpy(f.lfFaceName, face.c_str(), LF_FACESIZE - 1);
        f.lfQuality = PROOF_QUALITY;
        chars += line[0];
        fonts.push_back(f);
    }
    auto* fresh = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, SymbolSetBytes(chars.size()), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!fresh) return 0;
    const int32_t n = static_cast<int32_t>(chars.size());
    std::memcpy(fresh, &n, 4);
    for (int32_t i = 0; i < n; ++i) {
        uint8_t* e = fresh + kSymbolSetHeader + i * SymbolEntryLayout::size;
        e[SymbolEntryLayout::character] = static_cast<uint8_t>(chars[i]);
        std::memcpy(e + SymbolEntryLayout::font, &fonts[i], sizeof(LOGFONTA));
    }
    // The caller's block is the library's to release once it has a new one.
    if (*set) VirtualFree(*set, 0, MEM_RELEASE);
    *set = reinterpret_cast<SymbolSet*>(fresh);
    return -1;
}

EDITOR_EXPORT int32_t DeleteHideRich(HideRichDocument document) {
    std::ofstream(folder() / "deleted.txt", std::ios::app) << document << "\n";
    return 1;
}
