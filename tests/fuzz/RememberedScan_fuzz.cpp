// Fuzz target of the remembered scans' file reader: any bytes, as a file
// or as the unpacked body of one. Either it says why they are no remembered
// scan, or its snapshot is a tree that writes back to the same snapshot,
// finds each folder's path either way and compares equal to itself.
// Nothing may crash, leak or overflow.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "history/Comparison.h"
#include "history/SnapshotFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // A first byte below 32 asks for that many folders of a body that
    // follows unpacked: the checksums of a file would keep most inputs from
    // the body's parser.
    SnapshotHeader header;
    header.RootPath = "/r";
    header.Folders = size > 0 ? data[0] : 0;
    const SnapshotDecodeResult decoded = size > 0 && data[0] < 32
        ? DecodeSnapshotBody(header, bytes.substr(1))
        : DecodeSnapshot(bytes);
    if (!decoded.Snapshot) {
        if (decoded.Fault.Reason.empty())
            std::abort();
        return 0;
    }
    const FolderSnapshot& s = *decoded.Snapshot;
    const SnapshotDecodeResult again = DecodeSnapshot(EncodeSnapshot(s));
    if (!again.Snapshot || !(*again.Snapshot == s) || !CompareSnapshots(s, *again.Snapshot).empty())
        std::abort();
    const std::vector<uint32_t> parents = s.Parents();
    for (size_t i = 0; i < s.Count(); ++i) {
        if (s.PathOf(i) != s.PathOf(i, parents))
            std::abort();
        s.LooseTotals(i);
    }
    return 0;
}
