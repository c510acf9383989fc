#include "ChildProcess.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::string& stderrFile)
{
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e)
        envStrings.emplace_back(*e);
    for (const std::string& extra : env) {
        const std::string name = extra.substr(0, extra.find('=') + 1);
        std::erase_if(envStrings, [&](const std::string& s) { return s.rfind(name, 0) == 0; });
        envStrings.push_back(extra);
    }
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : envStrings)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        if (!stderrFile.empty()) {
            const int fd = open(stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0)
                dup2(fd, 2);
        }
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    return pid;
}

std::optional<int> WaitFor(pid_t pid, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return status;
        if (std::chrono::steady_clock::now() >= end)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void KillChild(pid_t pid)
{
    // Its own children first (a tracer's tracee outlives the tracer).
    std::ifstream children("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
    for (pid_t child = 0; children >> child;)
        kill(child, SIGKILL);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
}

std::string Output(const std::string& command)
{
    std::string out;
    if (FILE* f = popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n = 0;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0)
            out.append(buf, n);
        pclose(f);
    }
    return out;
}
