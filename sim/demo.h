// Simulated receivers for the monitor's demo mode: each runs in a child
// process (zelk_sim from the running program's directory) on its own
// pseudo-terminal, at its own place, until Stop or destruction.
#pragma once

#include <memory>
#include <string>
#include <vector>

class ChildProcess;

class DemoReceivers {
public:
    DemoReceivers();
    DemoReceivers(const DemoReceivers&) = delete;
    DemoReceivers& operator=(const DemoReceivers&) = delete;
    ~DemoReceivers();

    bool Start(int count, std::string* error);
    const std::vector<std::string>& DevicePaths() const { return paths_; }
    void Stop();

    // Where the simulator program is looked for; tests may point elsewhere.
    void SetProgram(const std::string& path) { program_ = path; }

private:
    std::string program_;
    std::vector<std::unique_ptr<ChildProcess>> children_;
    std::vector<std::string> paths_;
};
