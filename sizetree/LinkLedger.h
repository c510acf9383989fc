// The files with several links that one scanned root met: where each was
// counted, where else the walk met it, and its size.
//
// Protocol: the owner of a scanned root (the window, or the report mode on
// its stack) keeps one LinkLedger per root for as long as the root's entries
// exist, and hands it to every scan, rescan and removal in that root
// (sizetree/Scan.h, sizetree/Rescan.h), which keep it up to date. It holds
// entry pointers: whoever deletes entries of the root other than through
// those calls must drop the ledger with them. UI thread only. It grows with
// the multiply-linked files alone.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "sizetree/SizeTree.h"

struct FileId {
    uint64_t Device;
    uint64_t Inode;
    bool operator==(const FileId&) const = default;
};

struct FileIdHash {
    size_t operator()(const FileId& id) const noexcept
    {
        return std::hash<uint64_t>()(id.Inode * 0x9E3779B97F4A7C15ULL ^ id.Device);
    }
};

struct LinkedFileRecord {
    uint64_t Size = 0;       // bytes
    uint64_t DiskBytes = 0;  // blocks x 512
    // The folder whose loose files include it: the first place the
    // depth-first walk met it; nullptr while a rescan or removal is settling.
    const TTreeEntry* Counted = nullptr;
    // Every folder where the walk met one of its links, once per link.
    std::vector<const TTreeEntry*> Places;
};

using LinkLedger = std::unordered_map<FileId, LinkedFileRecord, FileIdHash>;
