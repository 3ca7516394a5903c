// A stand-in for the shared library ZOLQuillarine, for the plug-ins' binding
// tests. It exports some of the library's names and lacks others on purpose,
// changes the floating-point controls while it is loaded, as a library's
// run-time start-up may, and notes each load and unload in "loads.txt" beside itself.
#include <dlfcn.h>
#include <fenv.h>
#include <fpu_control.h>
#include <xmmintrin.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "framework/library_binding.h"

#define TESTLIB_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

int g_deleteCalls = 0;
HideRichDocument g_lastDeleted = 0;

// Appends the library's own file name, after `prefix`, to "loads.txt".
void note(const char* prefix) {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&note), &info) || !info.dli_fname) return;
    std::string self = info.dli_fname;
    std::string folder = self.substr(0, self.find_last_of('/') + 1);
    if (FILE* f = std::fopen((folder + "loads.txt").c_str(), "a")) {
        std::fprintf(f, "%s%s\n", prefix, self.substr(folder.size()).c_str());
        std::fclose(f);
    }
}

// Single precision and an unmasked zero divide on the x87 unit, rounding up
// and flush-to-zero on the SSE unit, and a pending inexact flag on both.
void disturbFloatControls() {
    fpu_control_t cw;
    _FPU_GETCW(cw);
    cw = static_cast<fpu_control_t>((cw & ~_FPU_EXTENDED) | _FPU_SINGLE);
    cw = static_cast<fpu_control_t>(cw & ~_FPU_MASK_ZM);
    _FPU_SETCW(cw);
    _mm_setcsr((_mm_getcsr() & ~0x6000u) | 0x4000u | 0x8000u);
    feraiseexcept(FE_INEXACT);
    // An inexact result on the x87 unit too, so both status words are dirty.
    volatile long double third = 1.0L;
    third = third / 3.0L;
}

__attribute__((constructor)) void onLoad() {
    note("");
    disturbFloatControls();
}

__attribute__((destructor)) void onUnload() { note("unloaded "); }

}  // namespace

// Each bound export answers with a value of its own, so a test can tell
// which function a pointer reached.
TESTLIB_EXPORT int32_t EditProperties(HWND) { return 101; }
TESTLIB_EXPORT int32_t EditDigitalizer(HWND, SymbolSet**) { return 103; }
TESTLIB_EXPORT HideRichDocument CreateHideRich(HWND, int32_t, int32_t, int32_t, double, double, double,
                                               int32_t, int32_t) {
    return 104;
}
TESTLIB_EXPORT int32_t DeleteHideRich(HideRichDocument document) {
    ++g_deleteCalls;
    g_lastDeleted = document;
    return 1;
}
TESTLIB_EXPORT int32_t GetCountHideRich(HideRichDocument) { return 107; }
TESTLIB_EXPORT int32_t GetTopLineHideRich(HideRichDocument, int32_t) { return 110; }
TESTLIB_EXPORT int32_t GetHeightCharHideRich(HideRichDocument, int32_t, int32_t) { return 119; }
TESTLIB_EXPORT HWND GetWNDHideRich2() { return nullptr; }

// Left out: Edit2Properties, ReloadHideRich, GetWidthLineHideRich,
// GetHeightLineHideRich, GetLeftLineHideRich, GetJustifyLineHideRich,
// GetLineWidthHideRich, DrawLineHideRich, DrawCharHideRich,
// GetWidthCharHideRich, GetLengthLineHideRich, GetAllHeightLineHideRich,
// GetWNDHideRich.

// For the tests themselves, not part of the library.
TESTLIB_EXPORT int32_t TestLibraryDeleteCalls() { return g_deleteCalls; }
TESTLIB_EXPORT uint32_t TestLibraryLastDeleted() { return g_lastDeleted; }
