#include "dump_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

DumpProcess StartDump(const std::vector<std::string>& args, const std::string& dir, int stdinFd)
{
    static int runs = 0;
    DumpProcess p;
    p.outPath = dir + "/out" + std::to_string(++runs);
    p.errPath = dir + "/err" + std::to_string(runs);
    const std::string exe = std::string(JX_BINARY_DIR) + "/zelk_dump";
    std::vector<char*> argv{const_cast<char*>(exe.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    p.pid = ::fork();
    if (p.pid == 0) {
        const int in = stdinFd >= 0 ? stdinFd : ::open("/dev/null", O_RDONLY);
        const int out = ::open(p.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(p.errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0)
            ::_exit(127);
        ::execv(exe.c_str(), argv.data());
        ::_exit(127);
    }
    return p;
}

int WaitDump(const DumpProcess& p)
{
    int status = 0;
    if (p.pid <= 0 || ::waitpid(p.pid, &status, 0) != p.pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
