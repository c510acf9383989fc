// Helpers of the read-ahead tests: scans by either lister and an entry by
// entry comparison of two trees.
#pragma once

#include <memory>
#include <string>

#include "sizetree/ReadAheadLister.h"
#include "sizetree/Scan.h"
#include "sizetree/SizeTree.h"

struct TScanResult {
    TSizeTree Tree;
    TTreeEntry* Root = nullptr;
};

// The sequential lister's scan: the reference.
std::unique_ptr<TScanResult> ScanSequential(const std::string& path, const TScanHooks& hooks = {});
std::unique_ptr<TScanResult> ScanReadAhead(const std::string& path, ReadAheadOptions options = {},
                                           const TScanHooks& hooks = {});

// "" when both trees are equal in captions, images, names, paths, sizes (bit
// for bit), read errors, counts and order; else where they first differ.
std::string FirstDifference(const TTreeEntry* a, const TTreeEntry* b);

// Threads of this process (those just joined no longer counted).
int ThreadCount();
