// Shared inside the platform library only; nothing here is exported.
#pragma once

#include <string>
#include <vector>

#include "platform/win/winapi.h"

namespace zolplat {

void setError(DWORD code);

// The existing file or folder that `path` names when each component is
// compared without regard to ASCII case; components that match nothing are
// kept as given, so the result also names a file yet to be created.
std::string resolveNoCase(const std::string& path);

// Bytes of the named section of an ELF file; empty when there is none.
std::vector<unsigned char> readElfSection(const std::string& path, const char* section);

// Finds one entry of a resource block; null when the block has no such entry.
const unsigned char* findResource(const std::vector<unsigned char>& block, DWORD type, DWORD id,
                                  DWORD* size);

// $XDG_CONFIG_HOME, else $HOME/.config, then "zolplatform".
std::string configFolder();

}  // namespace zolplat
