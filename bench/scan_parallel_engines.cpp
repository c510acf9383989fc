// Times one scan of PATH with either listing engine, as the report mode scans
// it, and prints the wall time and the read-ahead counters:
//   sizetree_scan_engines sequential|read-ahead PATH [WORKERS [MAX_WORKERS]]
// (WORKERS: the pool's start, MAX_WORKERS its bound; equal: a fixed pool.)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sizetree/DirLister.h"
#include "sizetree/ReadAheadLister.h"
#include "sizetree/Scan.h"
#include "sizetree/SizeTree.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s sequential|read-ahead PATH [WORKERS [MAX_WORKERS]]\n", argv[0]);
        return 2;
    }
    const std::string engine = argv[1];
    const std::string path = argv[2];
    TSizeTree tree;
    TTreeEntry* root = tree.AddChildEntry(nullptr, path, TNode{path, 0, ""});
    const auto start = std::chrono::steady_clock::now();
    if (engine == "sequential") {
        DirLister lister;
        ScanFolderWith(tree, root, TScanHooks{}, lister);
    } else if (engine == "read-ahead") {
        ReadAheadOptions options;
        if (argc > 3)
            options.Workers = static_cast<unsigned>(std::atoi(argv[3]));
        if (argc > 4)
            options.MaxWorkers = static_cast<unsigned>(std::atoi(argv[4]));
        ReadAheadLister lister(options);
        ScanFolderWith(tree, root, TScanHooks{}, lister);
        const ReadAheadStats s = lister.Stats();
        std::printf("workers %u, reopened ancestors %llu, most descriptors %d, most read ahead %zu, "
                    "scan waited %llu times, workers idled %llu times\n",
                    s.Workers, static_cast<unsigned long long>(s.Reopens), s.MostOpenFolders, s.MostReady,
                    static_cast<unsigned long long>(s.ConsumerWaits),
                    static_cast<unsigned long long>(s.WorkerWaits));
    } else {
        std::fprintf(stderr, "unknown engine %s\n", engine.c_str());
        return 2;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %.0f bytes in %.3f s\n", engine.c_str(), root->Size(), seconds);
    return 0;
}
