// The shell's "open": the desktop's opener (xdg-open) started in a
// grandchild, so the caller neither waits for it nor leaves a zombie.
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win/testhooks.h"
#include "platform/win/winapi.h"

extern char** environ;

namespace {

std::vector<ZolShellRecord>& calls() {
    static std::vector<ZolShellRecord> c;
    return c;
}

bool& recordOnly() {
    static bool only = [] {
        const char* v = std::getenv("ZOL_SHELL_RECORD_ONLY");
        return v && std::strcmp(v, "1") == 0;
    }();
    return only;
}

HINSTANCE result(int code) { return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(code)); }

bool isAddress(const std::string& target) { return target.find("://") != std::string::npos; }

// The opener, found on PATH without running a shell.
bool openerAvailable(std::string& path) {
    const char* pathVar = std::getenv("PATH");
    std::string dirs = pathVar ? pathVar : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string candidate = dirs.substr(start, end - start) + "/xdg-open";
        if (access(candidate.c_str(), X_OK) == 0) {
            path = candidate;
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Starts `opener target` detached: an intermediate child spawns it and
// exits at once, so the opener is adopted by init.
bool startDetached(const std::string& opener, const std::string& target) {
    std::vector<char*> argv{const_cast<char*>(opener.c_str()), const_cast<char*>(target.c_str()), nullptr};
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        setsid();
        pid_t grandchild = 0;
        int rc = posix_spawn(&grandchild, opener.c_str(), nullptr, nullptr, argv.data(), environ);
        _exit(rc == 0 ? 0 : 127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

ZOLAPI HINSTANCE ShellExecuteA(HWND owner, const char* operation, const char* file, const char* parameters,
                               const char* directory, int show) {
    try {
        ZolShellRecord rec{owner, operation ? operation : "", file ? file : "", parameters ? parameters : "",
                           directory ? directory : "", show};
        calls().push_back(rec);
        if (!file || !*file) return result(SE_ERR_FNF);
        if (operation && std::strcmp(operation, "open") != 0) return result(SE_ERR_NOASSOC);
        std::string target = file;
        if (!isAddress(target)) {
            if (directory && *directory && target[0] != '/') target = std::string(directory) + "/" + target;
            char resolved[4096];
            ResolvePathNoCase(target.c_str(), resolved, sizeof resolved);
            target = resolved;
            struct stat st {};
            if (stat(target.c_str(), &st) != 0) return result(SE_ERR_FNF);
        }
        if (recordOnly()) return result(SE_ERR_SHELL_OK);
        std::string opener;
        if (!openerAvailable(opener)) return result(SE_ERR_NOASSOC);
        return result(startDetached(opener, target) ? SE_ERR_SHELL_OK : SE_ERR_NOASSOC);
    } catch (...) {
        return result(SE_ERR_NOASSOC);
    }
}

ZOLHOOK const std::vector<ZolShellRecord>& ZolShellCalls() { return calls(); }
ZOLHOOK void ZolClearShellCalls() { calls().clear(); }
ZOLHOOK void ZolSetShellRecordOnly(bool only) { recordOnly() = only; }
