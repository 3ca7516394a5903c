#include "framework/file_types.h"

#include "platform/win/winapi.h"

namespace {

// Values are stored without their terminating zero.
void setDefaultValue(HKEY key, const std::string& value) {
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.data()),
                   static_cast<DWORD>(value.size()));
}

}  // namespace

void RegisterPresetFileType(const std::string& moduleFileName) {
    HKEY extension = nullptr;
    if (RegCreateKeyA(HKEY_CLASSES_ROOT, kPresetExtension, &extension) != ERROR_SUCCESS) return;
    setDefaultValue(extension, kPresetFileType);
    RegCloseKey(extension);

    HKEY type = nullptr;
    if (RegCreateKeyA(HKEY_CLASSES_ROOT, kPresetFileType, &type) != ERROR_SUCCESS) return;
    HKEY icon = nullptr;
    LONG created = RegCreateKeyA(type, "DefaultIcon", &icon);
    RegCloseKey(type);
    if (created != ERROR_SUCCESS) return;
    setDefaultValue(icon, moduleFileName + ",0");
    RegCloseKey(icon);
}
