// A helper program run without a shell, with one pipe to it: we either feed
// its standard input or read its standard output. Its standard error goes
// to an unnamed temporary file so that a chatty child can never block on a
// pipe nobody reads; its last line explains a failure.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace zolhost {

class ChildProcess {
public:
    enum class Pipe { ToChild, FromChild };

    // Throws Error when the program cannot be started; a program that is
    // not on PATH is named as missing.
    ChildProcess(const std::vector<std::string>& argv, Pipe pipe);
    // A child still running is stopped and waited for.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False when the child no longer reads (it stopped or failed).
    bool write(const void* data, size_t size);
    // Reads exactly `size` bytes; fewer only at the end of the child's
    // output. Returns the number read.
    size_t read(void* data, size_t size);

    // Closes our end and waits; returns the exit status (-1 when the child
    // died from a signal). Idempotent.
    int finish();
    // The last non-empty line the child wrote on its standard error.
    std::string lastErrorLine();

private:
    pid_t pid_ = -1;
    int fd_ = -1;
    FILE* errors_ = nullptr;
    bool finished_ = false;
    int status_ = -1;
};

}  // namespace zolhost
