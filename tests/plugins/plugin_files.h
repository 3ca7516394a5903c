// Where the build put the plug-in files and the test library, and what each
// plug-in is.
#pragma once

#include <ostream>
#include <string>

inline constexpr const char* kTypingPlugin = ZOL_TYPING_PLUGIN;
inline constexpr const char* kMorphingPlugin = ZOL_MORPHING_PLUGIN;
inline constexpr const char* kDigitalizerPlugin = ZOL_DIGITALIZER_PLUGIN;
inline constexpr const char* kTestLibrary = ZOL_TEST_LIBRARY;

struct EffectFile {
    const char* label;
    const char* path;
    const char* shippedName;
    const char* libraryName;  // what the plug-in asks for beside itself
};

inline const EffectFile kTypingFile{"typing", kTypingPlugin, "ZOLQuillarine.AEX", "ZOLQuillarine.DLL"};
inline const EffectFile kMorphingFile{"morphing", kMorphingPlugin, "ZOLMorphing.aex", "ZOLQuillarine.dll"};
inline const EffectFile kDigitalizerFile{"digitalizer", kDigitalizerPlugin, "ZOLDigitalizer.aex",
                                         "ZOLQuillarine.dll"};

inline std::ostream& operator<<(std::ostream& os, const EffectFile& e) { return os << e.label; }
