// Runs zolhost as a user would and captures what it prints.
#pragma once

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
// A fresh, empty folder for one test.
std::string workDir(const std::string& name);

}  // namespace cli
