// Runs zolhost as a user would and captures what it prints.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cli {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs zolhost with `args`; `env` are NAME=VALUE settings for this run only.
// Variables the host reads are cleared first so the caller's environment
// never leaks into a test.
Result run(const std::vector<std::string>& args, const std::vector<std::string>& env = {});

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
// A fresh, empty folder for one test.
std::string workDir(const std::string& name);

// Lines of text, counted by their line feeds.
int lines(const std::string& s);
std::vector<uint8_t> decodeBase64(const std::string& b64);
// The instance's sequence data as `zolhost show` gives it.
std::vector<uint8_t> sequenceData(const std::string& project);
// A little-endian 32-bit word of a record.
int32_t word(const std::vector<uint8_t>& bytes, size_t at);

// Whether this build has the effect's plug-in; each test target defines
// ZOL_HAVE_<EFFECT> for the plug-ins it depends on.
inline bool havePlugin(const std::string& effect) {
#ifdef ZOL_HAVE_TYPING
    if (effect == "typing") return true;
#endif
#ifdef ZOL_HAVE_MORPHING
    if (effect == "morphing") return true;
#endif
#ifdef ZOL_HAVE_DIGITALIZER
    if (effect == "digitalizer") return true;
#endif
    return false;
}

}  // namespace cli
