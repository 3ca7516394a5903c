// The interchange files through which an instance's texts travel to the
// library and back: the exact bytes of one text, no header, no length, no
// terminator, in the plug-ins' folder. They belong to no instance; every
// edit and render of any instance overwrites them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/library_binding.h"
#include "platform/effect_api/effect_api.h"

inline constexpr char kFirstInterchangeName[] = "stream.tmp";
inline constexpr char kSecondInterchangeName[] = "stream2.tmp";

// The plug-in's module path, read anew, less its shipped file name, with
// `fileName` appended; empty when the module path is too short to have a
// folder.
std::string InterchangePath(EffectKind effect, HMODULE module, const char* fileName);

// Creates the file anew for writing (write sharing, normal attributes);
// INVALID_HANDLE_VALUE when it cannot be created. An empty path cannot.
HANDLE CreateInterchangeFile(const std::string& path);

// Writes `length` bytes and closes the file; false when a write fell short.
bool WriteAndCloseInterchange(HANDLE file, const uint8_t* bytes, size_t length);

// Writes the typing record's text to "stream.tmp", as the edit command and
// the render driver both do before the library reads it. False when the
// file could not be created (the caller warns); the record is only read.
bool WriteTypingInterchange(PF_InData* in_data, HMODULE module);

// The plug-ins' own warnings: a message box without owner, warning icon.
void ShowEffectWarning(const char* caption, const char* text);
inline constexpr char kQuillarineBreak[] = "Quillarine Break";
inline constexpr char kMorthingBreak[] = "Morthing Break";
