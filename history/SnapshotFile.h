// The file of one remembered scan: a snapshot (history/FolderSnapshot.h) in
// bytes, and back.
//
// Protocol: pure functions of their arguments; any thread. Decoding takes
// untrusted bytes (a damaged or foreign file): it either gives a snapshot
// whose folders form a valid tree in name order, or says why not.
//
// The bytes, numbers little-endian:
//   header   "TLWNSCAN", u32 version (1), u32 header CRC-32 (of the header
//            with this field zero, the root path included), i64 scan time
//            (Unix seconds), u64 folders, u64 body bytes (unpacked), u32
//            root path length, the root path's bytes;
//   body     one zstd frame with a checksum; unpacked, the folders in
//            preorder, each: varint subfolder count, varint name length,
//            the name, varint apparent bytes, varint disk bytes (the root's
//            name is empty; every other is not, holds neither "/" nor NUL,
//            and siblings come in ascending byte order).
// The header alone tells the root and the time (ReadSnapshotHeader).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "history/FolderSnapshot.h"

inline constexpr uint32_t kSnapshotFileVersion = 1;
// Bytes of the header before the root path.
inline constexpr size_t kSnapshotHeaderBytes = 8 + 4 + 4 + 8 + 8 + 8 + 4;

std::string EncodeSnapshot(const FolderSnapshot& snapshot);

struct SnapshotHeader {
    std::string RootPath;
    int64_t ScanTime = 0;
    uint64_t Folders = 0;
    uint64_t BodyBytes = 0;
    size_t Size = 0;  // bytes of the header, root path included
};

// Why bytes are no remembered scan, in English.
struct SnapshotFault {
    std::string Reason;
};

struct SnapshotHeaderResult {
    std::optional<SnapshotHeader> Header;
    SnapshotFault Fault;  // when no header
};
// bytes: at least the header; more is ignored.
SnapshotHeaderResult ReadSnapshotHeader(std::string_view bytes);

struct SnapshotDecodeResult {
    std::optional<FolderSnapshot> Snapshot;
    SnapshotFault Fault;  // when no snapshot
};
SnapshotDecodeResult DecodeSnapshot(std::string_view bytes);
// The body alone, unpacked, as the header describes it (header.BodyBytes
// is not looked at): the part of DecodeSnapshot that no checksum guards.
SnapshotDecodeResult DecodeSnapshotBody(const SnapshotHeader& header, std::string_view body);
