// Child processes for the tests that run the real program or X tools.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// Starts argv[0] (a path) with the extra environment entries ("NAME=value").
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
            const std::string& stderrFile = "");
// Waits up to timeout; the wait status when the child ended, else nothing.
std::optional<int> WaitFor(pid_t pid, std::chrono::milliseconds timeout);
// Kills and reaps a child that is still running, and kills its children.
void KillChild(pid_t pid);
// Runs a shell command; its standard output.
std::string Output(const std::string& command);
