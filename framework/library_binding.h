// The shared library ZOLQuillarine: how a plug-in finds it, which of its
// exports it binds, and the pointers it keeps. Nothing is linked across the
// files; every call goes through a pointer looked up by name at global setup,
// and a pointer that stayed 0 must be tested before it is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/effect_api/effect_api.h"
#include "platform/win/winapi.h"

// A laid-out document of the library, as records keep it: a 32-bit value of
// the platform's handle table, 0 for none.
typedef uint32_t HideRichDocument;

struct SymbolSet;

extern "C" {
// The editors: -1 when closed with Ok, 0 otherwise. The parent window is
// passed along and not read.
typedef int32_t (*EditPropertiesProc)(HWND parent);
typedef int32_t (*Edit2PropertiesProc)(HWND parent);
typedef int32_t (*EditDigitalizerProc)(HWND parent, SymbolSet** symbolSet);

typedef HideRichDocument (*CreateHideRichProc)(HWND parent, int32_t width, int32_t height, int32_t wrap,
                                               double scale, double reserved, double invertChance,
                                               int32_t invertMode, int32_t randomBase);
typedef int32_t (*ReloadHideRichProc)(HideRichDocument document, int32_t wrap, int32_t width,
                                      int32_t height);
typedef int32_t (*DeleteHideRichProc)(HideRichDocument document);
typedef int32_t (*GetCountHideRichProc)(HideRichDocument document);
// The per-line queries: one field of a line's record, 0 (or -1 for the
// justification) for a line that does not exist.
typedef int32_t (*LineQueryProc)(HideRichDocument document, int32_t line);
typedef int32_t (*CharQueryProc)(HideRichDocument document, int32_t line, int32_t index);
typedef HWND (*GetWNDHideRichProc)(HideRichDocument document);
typedef HWND (*GetWNDHideRich2Proc)();
// The library's own drawing, which these effects bind and never call; the
// library takes the document first, like its other operations.
typedef int32_t (*DrawCharHideRichProc)(HideRichDocument document, int32_t line, int32_t index,
                                        uint32_t* pixels, int32_t width, int32_t height,
                                        int32_t ignored, int32_t invert);
typedef int32_t (*DrawLineHideRichProc)(HideRichDocument document, int32_t line, uint32_t* pixels,
                                        int32_t width, int32_t height, int32_t offset,
                                        int32_t invertAfterTab, int32_t invertAll, double sizeFactor);
}

struct LibraryFunctions {
    HMODULE module = nullptr;
    EditPropertiesProc EditProperties = nullptr;
    Edit2PropertiesProc Edit2Properties = nullptr;
    EditDigitalizerProc EditDigitalizer = nullptr;
    CreateHideRichProc CreateHideRich = nullptr;
    DeleteHideRichProc DeleteHideRich = nullptr;
    ReloadHideRichProc ReloadHideRich = nullptr;
    GetCountHideRichProc GetCountHideRich = nullptr;
    LineQueryProc GetWidthLineHideRich = nullptr;
    LineQueryProc GetHeightLineHideRich = nullptr;
    LineQueryProc GetTopLineHideRich = nullptr;
    LineQueryProc GetLeftLineHideRich = nullptr;
    LineQueryProc GetJustifyLineHideRich = nullptr;
    DrawLineHideRichProc GetLineWidthHideRich = nullptr;
    DrawLineHideRichProc DrawLineHideRich = nullptr;
    DrawCharHideRichProc DrawCharHideRich = nullptr;
    CharQueryProc GetWidthCharHideRich = nullptr;
    LineQueryProc GetLengthLineHideRich = nullptr;
    LineQueryProc GetAllHeightLineHideRich = nullptr;
    CharQueryProc GetHeightCharHideRich = nullptr;
    GetWNDHideRichProc GetWNDHideRich = nullptr;
    GetWNDHideRich2Proc GetWNDHideRich2 = nullptr;
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
