#include "framework/module_paths.h"

#include <vector>

#include "framework/library_binding.h"

std::string ReadModuleFileName(HMODULE module, size_t bufferSize) {
    if (bufferSize == 0) return {};
    std::vector<char> buffer(bufferSize, '\0');
    DWORD n = GetModuleFileNameA(module, buffer.data(), static_cast<DWORD>(bufferSize));
    if (n == 0 || n >= bufferSize) return {};
    return std::string(buffer.data(), n);
}

std::string CutFromEnd(const std::string& path, size_t count) {
    return path.size() > count ? path.substr(0, path.size() - count) : std::string();
}

TypingFolders TypingFoldersFor(const std::string& moduleFileName) {
    TypingFolders f;
    f.pluginFolder = CutFromEnd(moduleFileName, ShippedFileNameLength(EffectKind::Typing));
    f.helpPath = f.pluginFolder;
    f.saveFolder = f.pluginFolder + "ZolQuillarineSaves";
    return f;
}
