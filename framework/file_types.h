// The preset file type of the typing effect, registered with the system at
// global setup so that preset files show the effect's icon.
#pragma once

#include <string>

inline constexpr char kPresetExtension[] = ".rta";
inline constexpr char kPresetFileType[] = "Quillarine for AE";

// Writes the extension's key and the type's icon (the module's first icon).
// A key that cannot be created ends the registration there, silently.
void RegisterPresetFileType(const std::string& moduleFileName);
