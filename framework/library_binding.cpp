#include "framework/library_binding.h"

#include <array>

#include "framework/host_calls.h"
#include "framework/module_paths.h"

namespace {

template <auto Member>
void storeExport(LibraryFunctions& functions, FARPROC address) {
    using Pointer = std::remove_reference_t<decltype(functions.*Member)>;
    functions.*Member = reinterpret_cast<Pointer>(address);
}

#define ZOL_EXPORT(name) LibraryExport{#name, &storeExport<&LibraryFunctions::name>}

// The text-engine exports both text effects bind, in lookup order; each
// effect follows them with the window query it uses.
#define ZOL_TEXT_ENGINE_EXPORTS                                                                  \
    ZOL_EXPORT(CreateHideRich), ZOL_EXPORT(DeleteHideRich), ZOL_EXPORT(ReloadHideRich),        \
        ZOL_EXPORT(GetCountHideRich), ZOL_EXPORT(GetWidthLineHideRich),                        \
        ZOL_EXPORT(GetHeightLineHideRich), ZOL_EXPORT(GetTopLineHideRich),                     \
        ZOL_EXPORT(GetLeftLineHideRich), ZOL_EXPORT(GetJustifyLineHideRich),                   \
        ZOL_EXPORT(GetLineWidthHideRich), ZOL_EXPORT(DrawLineHideRich),                        \
        ZOL_EXPORT(DrawCharHideRich), ZOL_EXPORT(GetWidthCharHideRich),                        \
        ZOL_EXPORT(GetLengthLineHideRich), ZOL_EXPORT(GetAllHeightLineHideRich),               \
        ZOL_EXPORT(GetHeightCharHideRich)

constexpr std::array kTypingExports = {
    ZOL_EXPORT(EditProperties),
    ZOL_TEXT_ENGINE_EXPORTS,
    ZOL_EXPORT(GetWNDHideRich),
};

constexpr std::array kMorphingExports = {
    ZOL_EXPORT(EditProperties),
    ZOL_EXPORT(Edit2Properties),
    ZOL_TEXT_ENGINE_EXPORTS,
    ZOL_EXPORT(GetWNDHideRich),
    ZOL_EXPORT(GetWNDHideRich2),
};

constexpr std::array kDigitalizerExports = {
    ZOL_EXPORT(EditDigitalizer),
};

#undef ZOL_TEXT_ENGINE_EXPORTS
#undef ZOL_EXPORT

static_assert(kTypingExports.size() == 18);
static_assert(kMorphingExports.size() == 20);

constexpr char kLibraryFileName[] = "ZOLQuillarine.dll";
constexpr size_t kModuleNameBufferSize = 266;

}  // namespace

size_t ShippedFileNameLength(EffectKind effect) {
    switch (effect) {
        case EffectKind::Typing: return 17;       // ZOLQuillarine.AEX
        case EffectKind::Morphing: return 15;     // ZOLMorphing.aex
        case EffectKind::Digitalizer: return 18;  // ZOLDigitalizer.aex
    }
    return 0;
}

std::span<const LibraryExport> LibraryExports(EffectKind effect) {
    switch (effect) {
        case EffectKind::Typing: return kTypingExports;
        case EffectKind::Morphing: return kMorphingExports;
        case EffectKind::Digitalizer: return kDigitalizerExports;
    }
    return {};
}

bool LibraryPathFor(EffectKind effect, const std::string& moduleFileName, std::string& libraryPath) {
    if (effect == EffectKind::Typing) {
        // The typing plug-in and the library share their base name, so the
        // plug-in only swaps its extension.
        if (moduleFileName.size() <= 3) return false;
        libraryPath = moduleFileName.substr(0, moduleFileName.size() - 3) + "DLL";
        return true;
    }
    size_t cut = ShippedFileNameLength(effect);
    // A name no longer than the shipped one holds no folder, and a bare file
    // name would make the platform look for the library somewhere else.
    if (moduleFileName.size() <= cut) return false;
    libraryPath = moduleFileName.substr(0, moduleFileName.size() - cut) + kLibraryFileName;
    return true;
}

void BindLibraryFromModuleName(EffectKind effect, const std::string& moduleFileName,
                               LibraryFunctions& functions) {
    std::string path;
    if (!LibraryPathFor(effect, moduleFileName, path)) return;

    // The library's run-time start-up may change the rounding, precision and
    // exception masks; the host must not inherit any of that.
    FloatControlState saved = GetFloatControl();
    functions.module = LoadLibraryA(path.c_str());
    if (functions.module) {
        for (const LibraryExport& e : LibraryExports(effect))
            e.store(functions, GetProcAddress(functions.module, e.name));
    }
    ClearFloatExceptions();
    SetFloatControl(saved);
}

void BindLibrary(EffectKind effect, PF_InData* in_data, HMODULE pluginModule,
                 LibraryFunctions& functions) {
    // Asked for as the original plug-ins do; the binding itself has no use for it.
    (void)HostMainWindow(in_data);
    BindLibraryFromModuleName(effect, ReadModuleFileName(pluginModule, kModuleNameBufferSize),
                              functions);
}

void ReleaseLibrary(LibraryFunctions& functions) {
    // The platform refuses a null module harmlessly, so no test is needed.
    FreeLibrary(functions.module);
}
