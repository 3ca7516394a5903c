// zolplat layout FILE: lays a text out through the library's own exports,
// the way the effects do, and prints its display lines as JSON.
//
// The file is copied to the library's first interchange file (the second
// with --second, which the library reads when given a negative width), the
// library is loaded from the plug-in folder and called by name.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "library/HideRichApi.h"
#include "platform/richedit/codepage.h"
#include "platform/richedit/richedit.h"

namespace {

struct LayoutArgs {
    std::string file;
    bool second = false;
    int32_t width = 1000;
    int32_t height = 1000;
    bool noWrap = false;
    double scale = 1.0;
    std::string plugins;
};
LayoutArgs g_layout;

std::string defaultPluginFolder() {
    char self[4096] = {};
    DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    std::string path(self, n);
    size_t cut = path.find_last_of('/');
    return (cut == std::string::npos ? std::string(".") : path.substr(0, cut)) + "/../plugins";
}

int fail(const std::string& message, int code) {
    std::fprintf(stderr, "zolplat layout: %s\n", message.c_str());
    return code;
}

bool copyToInterchange(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    if (!in) return false;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Through the platform, so an existing file of another case is the one written.
    HANDLE f = CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE || !f) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    return ok && written == bytes.size();
}

void appendUtf8(std::string& out, uint32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

// The line's characters as Unicode, each read in its own character set.
std::string lineText(HWND window, LRESULT start, int32_t length) {
    std::string out;
    for (int32_t i = 0; i < length; ++i) {
        CHARRANGE r{static_cast<LONG>(start + i), static_cast<LONG>(start + i + 1)};
        SendMessageA(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
        char ch[4] = {};
        if (SendMessageA(window, EM_GETSELTEXT, sizeof ch, reinterpret_cast<LPARAM>(ch)) != 1) continue;
        CHARFORMATA cf{};
        cf.cbSize = sizeof cf;
        SendMessageA(window, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        appendUtf8(out, zolrich::toUnicode(cf.bCharSet, static_cast<uint8_t>(ch[0])));
    }
    return out;
}

template <class F>
F proc(HMODULE m, const char* name) {
    return reinterpret_cast<F>(GetProcAddress(m, name));
}

}  // namespace

CLI::App* addLayoutCommand(CLI::App& app) {
    auto* cmd = app.add_subcommand("layout", "display lines of a text laid out by the library, as JSON");
    cmd->add_option("file", g_layout.file, "rich or plain text to lay out")->required();
    cmd->add_flag("--second", g_layout.second, "use the second interchange file (a negative width)");
    cmd->add_option("--width", g_layout.width, "layout width in pixels")->capture_default_str();
    cmd->add_option("--height", g_layout.height, "layout height in pixels")->capture_default_str();
    cmd->add_flag("--no-wrap", g_layout.noWrap, "do not wrap lines at the width");
    cmd->add_option("--scale", g_layout.scale, "scale of fonts and indents")->capture_default_str();
    cmd->add_option("--plugins", g_layout.plugins, "plug-in folder holding ZOLQuillarine.DLL");
    return cmd;
}

int runLayoutCommand() {
    const LayoutArgs& a = g_layout;
    std::string folder = a.plugins.empty() ? defaultPluginFolder() : a.plugins;
    std::string target = folder + (a.second ? "/Stream2.tmp" : "/Stream.tmp");
    if (!copyToInterchange(a.file, target)) return fail("cannot copy " + a.file + " to " + target, 1);

    HMODULE lib = LoadLibraryA((folder + "/ZOLQuillarine.DLL").c_str());
    if (!lib) return fail("cannot load ZOLQuillarine.DLL from " + folder, 2);
    auto create = proc<CreateHideRichFn>(lib, "CreateHideRich");
    auto destroy = proc<DeleteHideRichFn>(lib, "DeleteHideRich");
    auto count = proc<GetCountHideRichFn>(lib, "GetCountHideRich");
    auto wnd = proc<GetWNDHideRichFn>(lib, "GetWNDHideRich");
    auto length = proc<LineQueryFn>(lib, "GetLengthLineHideRich");
    auto width = proc<LineQueryFn>(lib, "GetWidthLineHideRich");
    auto height = proc<LineQueryFn>(lib, "GetHeightLineHideRich");
    auto top = proc<LineQueryFn>(lib, "GetTopLineHideRich");
    auto left = proc<LineQueryFn>(lib, "GetLeftLineHideRich");
    auto justify = proc<LineQueryFn>(lib, "GetJustifyLineHideRich");
    auto allHeight = proc<LineQueryFn>(lib, "GetAllHeightLineHideRich");
    if (!create || !destroy || !count || !wnd || !length || !width || !height || !top || !left || !justify ||
        !allHeight) {
        FreeLibrary(lib);
        return fail("ZOLQuillarine.DLL lacks a text-engine export", 2);
    }

    int32_t w = a.width < 0 ? -a.width : a.width;
    HideRichDocument doc = create(nullptr, a.second ? -w : w, a.height, a.noWrap ? 0 : 1, a.scale, 1.0, 0.0, 0, 0);
    if (!doc) {
        FreeLibrary(lib);
        return fail("the library made no document", 3);
    }
    HWND window = wnd(doc);
    nlohmann::json lines = nlohmann::json::array();
    for (int32_t i = 0, n = count(doc); i < n; ++i) {
        LRESULT start = SendMessageA(window, EM_LINEINDEX, static_cast<WPARAM>(i), 0);
        int32_t len = length(doc, i);
        lines.push_back({{"text", lineText(window, start, len)},
                         {"start", start},
                         {"length", len},
                         {"width", width(doc, i)},
                         {"height", height(doc, i)},
                         {"top", top(doc, i)},
                         {"left", left(doc, i)},
                         {"justify", justify(doc, i)},
                         {"all_height", allHeight(doc, i)}});
    }
    destroy(doc);
    FreeLibrary(lib);
    std::cout << nlohmann::json{{"lines", lines}}.dump(2) << "\n";
    return 0;
}
