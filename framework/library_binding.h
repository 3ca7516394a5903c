// The shared library ZOLQuillarine: how a plug-in finds it, which of its
// exports it binds, and the pointers it keeps. Nothing is linked across the
// files; every call goes through a pointer looked up by name at global setup,
// and a pointer that stayed 0 must be tested before it is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// The text engine's exports are typed as the library declares them. Its
// own drawing (DrawCharHideRich, DrawLineHideRich, GetLineWidthHideRich) is
// bound and never called by these effects.
#include "library/HideRichApi.h"
#include "platform/effect_api/effect_api.h"
#include "platform/win/winapi.h"

struct SymbolSet;

extern "C" {
// The editors: -1 when closed with Ok, 0 otherwise. The parent window is
// passed along and not read.
typedef int32_t (*EditPropertiesProc)(HWND parent);
typedef int32_t (*Edit2PropertiesProc)(HWND parent);
typedef int32_t (*EditDigitalizerProc)(HWND parent, SymbolSet** symbolSet);
}

struct LibraryFunctions {
    HMODULE module = nullptr;
    EditPropertiesProc EditProperties = nullptr;
    Edit2PropertiesProc Edit2Properties = nullptr;
    EditDigitalizerProc EditDigitalizer = nullptr;
    CreateHideRichFn CreateHideRich = nullptr;
    DeleteHideRichFn DeleteHideRich = nullptr;
    ReloadHideRichFn ReloadHideRich = nullptr;
    GetCountHideRichFn GetCountHideRich = nullptr;
    LineQueryFn GetWidthLineHideRich = nullptr;
    LineQueryFn GetHeightLineHideRich = nullptr;
    LineQueryFn GetTopLineHideRich = nullptr;
    LineQueryFn GetLeftLineHideRich = nullptr;
    LineQueryFn GetJustifyLineHideRich = nullptr;
    DrawLineHideRichFn GetLineWidthHideRich = nullptr;
    DrawLineHideRichFn DrawLineHideRich = nullptr;
    DrawCharHideRichFn DrawCharHideRich = nullptr;
    CharQueryFn GetWidthCharHideRich = nullptr;
    LineQueryFn GetLengthLineHideRich = nullptr;
    LineQueryFn GetAllHeightLineHideRich = nullptr;
    CharQueryFn GetHeightCharHideRich = nullptr;
    GetWNDHideRichFn GetWNDHideRich = nullptr;
    GetWNDHideRich2Fn GetWNDHideRich2 = nullptr;
};

// The three plug-ins differ in their shipped file name, the way they name the
// library beside them and the exports they bind.
enum class EffectKind { Typing, Morphing, Digitalizer };

// Length of the shipped file name: "ZOLQuillarine.AEX", "ZOLMorphing.aex",
// "ZOLDigitalizer.aex". The plug-ins cut exactly this many characters off
// their own path to find their folder, whatever the file is really called.
size_t ShippedFileNameLength(EffectKind effect);

struct LibraryExport {
    const char* name;
    void (*store)(LibraryFunctions& functions, FARPROC address);
};

// The exports an effect binds, in lookup order.
std::span<const LibraryExport> LibraryExports(EffectKind effect);

// The library's path for a plug-in whose module file is `moduleFileName`;
// false when the name is too short to give one (nothing is loaded then).
bool LibraryPathFor(EffectKind effect, const std::string& moduleFileName, std::string& libraryPath);

// Loads the library named by the plug-in's module file name and looks up
// the effect's exports. A library that is missing, or an export it lacks,
// leaves the pointer 0 and is not reported. Whatever the library's start-up
// code does to the floating-point controls is undone before returning.
void BindLibraryFromModuleName(EffectKind effect, const std::string& moduleFileName,
                               LibraryFunctions& functions);

// Global setup's binding for the running plug-in: reads its own module file
// name (at most 266 bytes, as the platform's short paths allow).
void BindLibrary(EffectKind effect, PF_InData* in_data, HMODULE pluginModule,
                 LibraryFunctions& functions);

// Frees the library. The pointers keep their values; nothing calls them after
// global setdown.
void ReleaseLibrary(LibraryFunctions& functions);
