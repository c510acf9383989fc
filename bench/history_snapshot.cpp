// Remembering a scan, as the window does it: history_snapshot FOLDER [ROUNDS]
// scans FOLDER once into a tree ordered by size, then, ROUNDS times, copies
// its snapshot on this thread (what the window's UI thread pays) and
// writes it into a store in a temporary folder on a worker thread. Prints
// the scan's time and the medians in milliseconds, and the file's size.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "history/FolderSnapshot.h"
#include "history/ScanStore.h"
#include "sizetree/Ordering.h"
#include "sizetree/Scan.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: history_snapshot FOLDER [ROUNDS]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int rounds = argc == 3 ? std::max(1, std::atoi(argv[2])) : 9;
    char temp[] = "/tmp/history-bench-XXXXXX";
    if (!mkdtemp(temp)) {
        std::perror("mkdtemp");
        return 1;
    }

    TSizeTree tree;
    tree.SetOnCompare(SortBySize);
    TTreeEntry* root = tree.AddChildEntry(nullptr, folder, TNode{folder, 0, std::string()});
    const auto scanStart = Clock::now();
    ScanFolder(tree, root, TScanHooks{});
    const double scan = Ms(Clock::now() - scanStart);

    const ScanStore store(std::string(temp) + "/scans");
    std::vector<double> copies, writes;
    uint64_t bytes = 0;
    size_t folders = 0;
    for (int r = 0; r < rounds; ++r) {
        const auto copyStart = Clock::now();
        const FolderSnapshot snapshot = SnapshotOfTree(*root, r + 1);
        copies.push_back(Ms(Clock::now() - copyStart));
        folders = snapshot.Count();
        RememberResult written;
        std::thread worker([&] {
            const auto writeStart = Clock::now();
            written = store.Remember(snapshot);
            writes.push_back(Ms(Clock::now() - writeStart));
        });
        worker.join();
        if (written.Failure) {
            std::fprintf(stderr, "history_snapshot: %s %s: errno %d %s\n", written.Failure->Step.c_str(),
                         written.Failure->Path.c_str(), written.Failure->Errno,
                         written.Failure->Reason.c_str());
            return 1;
        }
        bytes = std::filesystem::file_size(store.Folder() + "/" + written.File);
    }
    std::error_code ec;
    std::filesystem::remove_all(temp, ec);
    std::printf("folders %zu scan_ms %.1f copy_ms %.2f write_ms %.2f file_bytes %llu rounds %d\n", folders,
                scan, Median(copies), Median(writes), static_cast<unsigned long long>(bytes), rounds);
    return 0;
}
