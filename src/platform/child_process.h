// A program started as a child process whose standard output is read back
// line by line; ended (and reaped) on Stop or destruction.
#pragma once

#include <string>
#include <vector>

class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Starts program with the arguments. False (and error filled) when it cannot.
    bool Start(const std::string& program, const std::vector<std::string>& args, std::string* error);
    // Reads one line of the child's output (without its newline), waiting at
    // most timeoutMs. False on time-out or when the child closed its output.
    bool ReadLine(std::string* line, int timeoutMs);
    // Asks the child to end, waits a moment, then forces it; reaps it.
    void Stop();
    bool Running() const { return pid_ > 0; }

private:
    int pid_ = -1;
    int outFd_ = -1;
    std::string buffered_;
};

// Directory of the running program's executable ("" when unknown).
std::string ExecutableDirectory();
