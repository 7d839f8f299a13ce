#include "sim/demo.h"

#include "platform/child_process.h"

namespace {

constexpr int kStartTimeoutMs = 5000;

} // namespace

DemoReceivers::DemoReceivers() = default;

DemoReceivers::~DemoReceivers() { Stop(); }

bool DemoReceivers::Start(int count, std::string* error)
{
    Stop();
    const std::string program = program_.empty() ? ExecutableDirectory() + "/zelk_sim" : program_;
    for (int i = 0; i < count; ++i) {
        auto child = std::make_unique<ChildProcess>();
        std::string path;
        if (!child->Start(program, {"--index", std::to_string(i)}, error) || !child->ReadLine(&path, kStartTimeoutMs) ||
            path.empty()) {
            if (error && error->empty())
                *error = "the simulator " + program + " did not start";
            Stop();
            return false;
        }
        paths_.push_back(path);
        children_.push_back(std::move(child));
    }
    return true;
}

void DemoReceivers::Stop()
{
    for (auto& child : children_)
        child->Stop();
    children_.clear();
    paths_.clear();
}
