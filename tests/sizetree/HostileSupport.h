// Helpers of the hostile-disk tests: child processes with a time limit, the
// check of a finished tree, and runs of the real report binary.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "sizetree/SizeTree.h"

// The unprivileged user a child drops to when the tests run as root.
constexpr uid_t kNobody = 65534;

// Runs body in a forked child killed by SIGALRM after `seconds`, so that a
// scan that blocks fails the test instead of hanging it. With asNobody the
// child first drops to kNobody when running as root. Returns what body
// returned ("" means success) or why the child failed.
std::string InChild(const std::function<std::string()>& body, unsigned seconds, bool asNobody = false);

// "" when every finished entry under root (folders whose caption lacks the
// " <--" mark, and FILES entries) adds up: Size, and the bytes on disk,
// equal the sums of the children's, the caption is the size caption of the
// figure the tree shows, FILES entries have
// image 2 and no children, and finished children stand in the tree's order.
// Otherwise the first fault found. finished counts the checked folders.
std::string CheckFinished(const TSizeTree& tree, const TTreeEntry* root, int* finished = nullptr);

// A child's result that asks the test to be skipped: kSkip + the reason.
inline const std::string kSkip = "SKIP: ";

// In a child process: "" once it has mounts of its own (a private mount
// namespace), else kSkip and why not.
std::string PrivateMounts();

// Mounts from on to (mount(2)); "" or why not.
std::string Mount(const std::string& from, const std::string& to, const char* type, unsigned long flags);

// The first entry in root's subtree with that Name, or nullptr.
const TTreeEntry* FindNamed(const TTreeEntry* root, const std::string& name);

struct TBinaryRun {
    int Status = -1;        // exit status; -1 when it did not exit normally
    bool TimedOut = false;  // killed after the time limit
    std::string Out;
    std::string Err;
    long MaxRssKiB = 0;
};

// Runs the tallowin binary with args, killed after `seconds`.
TBinaryRun RunBinary(const std::vector<std::string>& args, unsigned seconds);

// The lines of text, without their newlines.
std::vector<std::string> Lines(const std::string& text);
