#include "host/core/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/core/error.h"

extern char** environ;

namespace zolhost {

namespace {

// Spawn attributes and file actions freed on every path out.
struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attr);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
    }
};

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, Pipe pipe) {
    if (argv.empty()) throw Error("no program to run");
    // A child that stops reading must show up as a failed write, not kill us.
    static const bool ignoringPipeSignal = [] {
        ::signal(SIGPIPE, SIG_IGN);
        return true;
    }();
    (void)ignoringPipeSignal;

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw Error("cannot run " + argv[0] + ": " + std::strerror(errno));
    const int ours = pipe == Pipe::ToChild ? fds[1] : fds[0];
    const int theirs = pipe == Pipe::ToChild ? fds[0] : fds[1];
    errors_ = std::tmpfile();
    if (!errors_) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw Error("cannot run " + argv[0] + ": no temporary file for its messages");
    }
    // Only this child may inherit it, as its standard error.
    ::fcntl(fileno(errors_), F_SETFD, FD_CLOEXEC);

    SpawnSetup setup;
    if (pipe == Pipe::ToChild) {
        posix_spawn_file_actions_adddup2(&setup.actions, theirs, STDIN_FILENO);
        posix_spawn_file_actions_addopen(&setup.actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    } else {
        posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&setup.actions, theirs, STDOUT_FILENO);
    }
    posix_spawn_file_actions_adddup2(&setup.actions, fileno(errors_), STDERR_FILENO);
    // We ignore SIGPIPE; the child gets the ordinary behaviour back.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&setup.attr, &defaults);
    posix_spawnattr_setflags(&setup.attr, POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    int rc = posix_spawnp(&pid_, argv[0].c_str(), &setup.actions, &setup.attr, args.data(), environ);
    ::close(theirs);
    if (rc != 0) {
        ::close(ours);
        std::fclose(errors_);
        errors_ = nullptr;
        pid_ = -1;
        if (rc == ENOENT)
            throw Error("the program " + argv[0] + " is not installed or not on PATH");
        throw Error("cannot run " + argv[0] + ": " + std::strerror(rc));
    }
    fd_ = ours;
}

ChildProcess::~ChildProcess() {
    if (!finished_ && pid_ > 0) {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
        ::kill(pid_, SIGTERM);
        int st;
        while (::waitpid(pid_, &st, 0) < 0 && errno == EINTR) {
        }
    }
    if (fd_ >= 0) ::close(fd_);
    if (errors_) std::fclose(errors_);
}

bool ChildProcess::write(const void* data, size_t size) {
    if (fd_ < 0) return false;
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd_, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

size_t ChildProcess::read(void* data, size_t size) {
    if (fd_ < 0) return 0;
    auto* p = static_cast<char*>(data);
    size_t got = 0;
    while (got < size) {
        ssize_t n = ::read(fd_, p + got, size - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return got;
}

int ChildProcess::finish() {
    if (finished_) return status_;
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    int st = 0;
    pid_t r;
    while ((r = ::waitpid(pid_, &st, 0)) < 0 && errno == EINTR) {
    }
    finished_ = true;
    status_ = (r == pid_ && WIFEXITED(st)) ? WEXITSTATUS(st) : -1;
    return status_;
}

std::string ChildProcess::lastErrorLine() {
    if (!errors_) return {};
    std::fflush(errors_);
    std::rewind(errors_);
    std::string all;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, errors_)) > 0) all.append(buf, n);
    std::string last;
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string::npos) end = all.size();
        std::string line = all.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty()) last = line;
        start = end + 1;
    }
    return last;
}

}  // namespace zolhost
