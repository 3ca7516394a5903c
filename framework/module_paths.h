// Paths a plug-in derives from its own module file name.
#pragma once

#include <cstddef>
#include <string>

#include "platform/win/winapi.h"

// The module's full file name, read into a buffer of `bufferSize` bytes, so
// at most bufferSize - 1 characters; empty when the platform cannot tell.
std::string ReadModuleFileName(HMODULE module, size_t bufferSize);

// `path` without its last `count` characters; empty when it is shorter.
std::string CutFromEnd(const std::string& path, size_t count);

// Copies `text` into a fixed field, cut to fit, always terminated.
template <size_t N>
void CopyToField(char (&field)[N], const std::string& text) {
    size_t n = text.size() < N - 1 ? text.size() : N - 1;
    text.copy(field, n);
    field[n] = '\0';
}

// The folder fields of the typing effect, from its module file name: the
// folder is the name less the shipped file name's length, whatever the file
// is really called, and keeps its trailing separator.
struct TypingFolders {
    std::string pluginFolder;
    std::string helpPath;
    std::string saveFolder;
};
TypingFolders TypingFoldersFor(const std::string& moduleFileName);
