#include "framework/plugin_globals.h"

// Zero at load: every member is constant-initialised, so the record is ready
// before any constructor of this module runs, the attach shim's included.
constinit PluginGlobals g_plugin;

BOOL PluginAttach(HINSTANCE module, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) g_plugin.module = module;
    return TRUE;
}

namespace {

// This platform maps a library without calling an entry routine of its own,
// so the module attaches itself while its constructors run. The address of
// the globals lies inside this module, whichever file it was loaded from.
struct AttachShim {
    AttachShim() { PluginAttach(GetModuleHandleFromAddress(&g_plugin), DLL_PROCESS_ATTACH, nullptr); }
};
AttachShim attachShim;

}  // namespace
