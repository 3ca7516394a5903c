// What one plug-in keeps for the whole process: its module, its folders and
// the bound library. One record per plug-in file; each file links its own
// copy of the framework, so the three effects never share it.
#pragma once

#include <cstddef>

#include "framework/library_binding.h"
#include "platform/win/winapi.h"

inline constexpr size_t kPluginPathSize = 1024;

// Values the render driver and the glyph engine share while one frame is
// drawn. Nothing lives here until the renderers do.
struct RenderState {
    int reserved = 0;
};

struct PluginGlobals {
    HMODULE module = nullptr;                // stored on attach, never changed
    char pluginFolder[kPluginPathSize] = {};  // ends in the path separator
    char helpPath[kPluginPathSize] = {};      // base of the help document's path
    char saveFolder[kPluginPathSize] = {};    // starting folder of the preset dialogs
    LibraryFunctions library;
    RenderState render;
};

extern constinit PluginGlobals g_plugin;

// The plug-in's attach routine, as the operating system would call it when
// the library is mapped into the process. Only the attach reason is acted on.
BOOL PluginAttach(HINSTANCE module, DWORD reason, void* reserved);
