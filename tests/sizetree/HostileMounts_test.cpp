// Mounts inside the scanned tree, made in a private mount namespace of a
// child process (so nothing leaks to the machine): bind mounts of the same
// file system into itself, of a folder into its own subfolder, and a tmpfs.
// None is entered, so no folder is counted twice.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "HostileSupport.h"
#include "ScanHelpers.h"
#include "TempTree.h"

namespace {

const std::string kSkip = "SKIP: ";

std::string Mount(const std::string& from, const std::string& to, const char* type,
                  unsigned long flags)
{
    if (mount(from.c_str(), to.c_str(), type, flags, nullptr) != 0)
        return "mount " + from + " on " + to + ": " + std::strerror(errno);
    return "";
}

// Layout: a/f 1 MB, a/b/g 2 MB, a/b/loop (a bound onto it), c/h 0.5 MB,
// copy (a/b bound onto it), self (the root bound onto it), tmp (a tmpfs
// holding 3 MB).
std::string MountAndScan(const TTempTree& t)
{
    if (unshare(CLONE_NEWNS) != 0)
        return kSkip + "no private mount namespace (" + std::strerror(errno)
            + "): needs CAP_SYS_ADMIN";
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return kSkip + "mounts cannot be made private: " + std::strerror(errno);
    const std::string r = t.Root();
    for (const std::string& fault : {Mount(r + "/a", r + "/a/b/loop", nullptr, MS_BIND),
                                     Mount(r + "/a/b", r + "/copy", nullptr, MS_BIND),
                                     Mount(r, r + "/self", nullptr, MS_BIND),
                                     Mount("tmpfs", r + "/tmp", "tmpfs", 0)})
        if (!fault.empty())
            return kSkip + fault;
    const int fd = open((r + "/tmp/big").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    const bool made = fd >= 0 && ftruncate(fd, 3000000) == 0;
    if (fd >= 0)
        close(fd);
    if (!made)
        return "cannot write into the tmpfs";

    TScanned s(r);
    std::string fault = CheckFinished(s.Tree, s.Root);
    if (!fault.empty())
        return fault;
    if (s.Root->Size() != 3500000)
        return "root counts " + std::to_string(s.Root->Size()) + " bytes, not 3500000";
    for (const char* mounted : {"loop", "copy", "self", "tmp"}) {
        const TTreeEntry* e = FindNamed(s.Root, mounted);
        if (!e || e->Size() != 0 || e->ChildCount() != 0)
            return std::string(mounted) + " was entered or is missing";
    }

    const TBinaryRun run = RunBinary({"--report", "--by-name", r}, 60);
    const auto line = [](int level, double bytes, const std::string& name) {
        return std::string(static_cast<size_t>(level) * 2, ' ') + SizeCaptionText(bytes) + " MB  " + name;
    };
    const std::vector<std::string> expected = {
        r,
        line(1, 3000000, "a"),
        line(2, 1000000, "[FILES]"),
        line(2, 2000000, "b"),
        line(3, 2000000, "[FILES]"),
        line(3, 0, "loop"),
        line(1, 500000, "c"),
        line(2, 500000, "[FILES]"),
        line(1, 0, "copy"),
        line(1, 0, "self"),
        line(1, 0, "tmp"),
    };
    if (run.Status != 0 || Lines(run.Out) != expected)
        return "report (status " + std::to_string(run.Status) + "):\n" + run.Out + run.Err;
    return "";
}

TEST(HostileMounts, BindMountsAreNotEntered)
{
    TTempTree t;
    for (const char* d : {"a", "a/b", "a/b/loop", "c", "copy", "self", "tmp"})
        t.Dir(d);
    t.File("a/f", 1000000);
    t.File("a/b/g", 2000000);
    t.File("c/h", 500000);
    const std::string result = InChild([&] { return MountAndScan(t); }, 120);
    if (result.rfind(kSkip, 0) == 0)
        GTEST_SKIP() << result.substr(kSkip.size());
    EXPECT_EQ(result, "");
}

}  // namespace
