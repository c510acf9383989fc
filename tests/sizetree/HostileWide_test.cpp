// One folder of 1,000,000 entries: plain files, hard links to one file and a
// few subfolders among them, scanned in the process and by the report mode.
// Needs root for a private tmpfs; skips otherwise.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "HostileSupport.h"
#include "ScanHelpers.h"
#include "TempTree.h"

namespace {

constexpr int kEntries = 1000000;
constexpr int kLinks = 100000;  // hard links to the file "shared"
constexpr uint64_t kSharedBytes = 4321;
constexpr int kSubfolders = 3;

const std::string kSkip = "SKIP: ";

// Creates the entries in the folder fd with descriptor-relative calls; the
// loose bytes they hold go to looseBytes. "" or what failed.
std::string Build(int dir, double& looseBytes)
{
    const int shared = openat(dir, "shared", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (shared < 0 || ftruncate(shared, kSharedBytes) != 0)
        return "cannot create the shared file";
    close(shared);
    looseBytes = kSharedBytes;
    const int plain = kEntries - 1 - kLinks - kSubfolders;
    char name[32];
    for (int i = 0; i < plain; ++i) {
        std::snprintf(name, sizeof name, "f%07d", i);
        const int fd = openat(dir, name, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0)
            return std::string("create ") + name + ": " + std::strerror(errno);
        if (i % 10 == 0) {
            const off_t bytes = 1 + i % 4093;
            if (ftruncate(fd, bytes) != 0)
                return std::string("truncate ") + name;
            looseBytes += static_cast<double>(bytes);
        }
        close(fd);
        // Subfolders spread among the files.
        if (i % (plain / kSubfolders) == 1 && i / (plain / kSubfolders) < kSubfolders) {
            std::snprintf(name, sizeof name, "sub%07d", i);
            if (mkdirat(dir, name, 0755) != 0)
                return std::string("mkdir ") + name;
        }
    }
    for (int i = 0; i < kLinks; ++i) {
        std::snprintf(name, sizeof name, "h%07d", i);
        if (linkat(dir, "shared", dir, name, 0) != 0)
            return std::string("link ") + name + ": " + std::strerror(errno);
    }
    return "";
}

long long Since(std::chrono::steady_clock::time_point& mark)
{
    const auto now = std::chrono::steady_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - mark).count();
    mark = now;
    return static_cast<long long>(ms);
}

// Runs in a child: a private tmpfs on path holds the million entries (a disk
// takes minutes to create them, and they vanish with the child's namespace).
std::string BuildAndScan(const std::string& path)
{
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return kSkip + "no private mount namespace for a tmpfs (" + std::strerror(errno)
            + "): creating a million files on disk is too slow for the suite";
    if (mount("tmpfs", path.c_str(), "tmpfs", 0, "nr_inodes=1100000,size=1g") != 0)
        return kSkip + "cannot mount a tmpfs: " + std::strerror(errno);
    const int dir = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return "cannot open the tmpfs";
    auto mark = std::chrono::steady_clock::now();
    double looseBytes = 0;
    const std::string fault = Build(dir, looseBytes);
    close(dir);
    if (!fault.empty())
        return fault;
    const long long built = Since(mark);

    {
        TScanned s(path);
        const std::string check = CheckFinished(s.Tree, s.Root);
        if (!check.empty())
            return check;
        if (s.Root->ChildCount() != kSubfolders + 1)
            return "the root has " + std::to_string(s.Root->ChildCount()) + " children";
        const TTreeEntry* files = s.Root->ChildAt(0);  // largest first
        if (!files->Name().empty() || files->Size() != looseBytes || s.Root->Size() != looseBytes)
            return "loose files count " + std::to_string(files->Size()) + " bytes, not "
                + std::to_string(looseBytes);
    }
    const long long scanned = Since(mark);

    const TBinaryRun run = RunBinary({"--report", path}, 600);
    const std::vector<std::string> lines = Lines(run.Out);
    if (run.TimedOut || run.Status != 0 || lines.size() != 2u + kSubfolders
        || lines[1] != "  " + SizeCaptionText(looseBytes) + " MB  [FILES]")
        return "report (status " + std::to_string(run.Status) + "): " + run.Out + run.Err;
    const long long reported = Since(mark);
    std::printf("created in %lld ms, scanned in %lld ms, report in %lld ms (peak %ld KiB)\n", built, scanned,
                reported, run.MaxRssKiB);
    std::fflush(stdout);
    return "";
}

TEST(HostileWide, MillionEntriesInOneFolder)
{
    TTempTree t;
    const std::string path = t.Dir("wide");
    const std::string result = InChild([&] { return BuildAndScan(path); }, 900);
    if (result.rfind(kSkip, 0) == 0)
        GTEST_SKIP() << result.substr(kSkip.size());
    EXPECT_EQ(result, "");
}

}  // namespace
