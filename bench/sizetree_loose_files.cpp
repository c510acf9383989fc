// Lists the FILES entry of one folder of many files, as expanding it in the
// window does: sizetree_loose_files DIR [FILES]
// Makes DIR/files with FILES files (default 1,000,000; sparse, 0 to 16,383
// bytes) unless it is there already, scans DIR, then times ListLooseFiles +
// PutLooseFiles and measures the memory they add: the peak resident set's
// growth and the heap still in use afterwards. Remove DIR after use.
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "XorShift.h"
#include "sizetree/LooseFiles.h"
#include "sizetree/Scan.h"

namespace {

using Clock = std::chrono::steady_clock;

bool MakeFiles(const std::string& folder, long count)
{
    if (mkdir(folder.c_str(), 0755) != 0)
        return false;
    const int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return false;
    TXorShift sequence{88172645463325252ULL};
    bool ok = true;
    for (long i = 0; i < count && ok; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "file%07ld.dat", i);
        const int fd = openat(dirFd, name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        ok = fd >= 0 && ftruncate(fd, static_cast<off_t>(sequence.Next() % 16384)) == 0;
        if (fd >= 0)
            close(fd);
    }
    close(dirFd);
    return ok;
}

long PeakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// User and system time of this process so far: the figure the machine's
// load does not stretch.
double CpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double HeapMegabytes()
{
    return static_cast<double>(mallinfo2().uordblks) / 1e6;
}

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: sizetree_loose_files DIR [FILES]\n");
        return 2;
    }
    const std::string root = argv[1];
    const long count = argc == 3 ? std::atol(argv[2]) : 1000000;
    const std::string folder = root + "/files";
    struct stat st;
    if (stat(folder.c_str(), &st) != 0) {
        std::printf("making %ld files in %s\n", count, folder.c_str());
        if ((mkdir(root.c_str(), 0755) != 0 && errno != EEXIST) || !MakeFiles(folder, count)) {
            std::perror(folder.c_str());
            return 1;
        }
    }

    TSizeTree tree;
    LinkLedger ledger;
    TTreeEntry* top = tree.AddChildEntry(nullptr, root, TNode{root, 0, ""});
    const Clock::time_point scanStart = Clock::now();
    ScanFolder(tree, top, {}, ledger);
    const double scanMs = Milliseconds(Clock::now() - scanStart);
    TTreeEntry* files = nullptr;
    for (int i = 0; i < top->ChildCount(); ++i)
        if (top->ChildAt(i)->Name() == "files" && top->ChildAt(i)->ChildCount() > 0)
            files = top->ChildAt(i)->ChildAt(0);
    if (!files || !files->IsFiles()) {
        std::fprintf(stderr, "no FILES entry under %s\n", folder.c_str());
        return 1;
    }
    std::printf("scan: %.0f ms, %u files, %s\n", scanMs, files->Counts().Files, files->Caption().c_str());

    for (int round = 1; round <= 3; ++round) {
        const long peakBefore = PeakKilobytes();
        const double heapBefore = HeapMegabytes();
        const double cpuBefore = CpuMilliseconds();
        const Clock::time_point start = Clock::now();
        LooseFileListing listing = ListLooseFilesAt(PlanWalk(*files->Parent()),
                                                    LinksCountedElsewhere(ledger, files->Parent()));
        const Clock::time_point listed = Clock::now();
        PutLooseFiles(tree, files, std::move(listing), ledger, {});
        const Clock::time_point put = Clock::now();
        const double cpu = CpuMilliseconds() - cpuBefore;
        std::printf("round %d: list %.0f ms + put %.0f ms = %.0f ms (%.0f ms of processor time); peak RSS "
                    "+%.1f MB; heap in use +%.1f MB;"
                    " %d entries, last %s\n",
                    round, Milliseconds(listed - start), Milliseconds(put - listed),
                    Milliseconds(put - start), cpu,
                    static_cast<double>(PeakKilobytes() - peakBefore) / 1024.0, HeapMegabytes() - heapBefore,
                    files->ChildCount(), files->ChildAt(files->ChildCount() - 1)->Caption().c_str());
    }
    return 0;
}
