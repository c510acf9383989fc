// Fuzz target of the saved scan reader: any bytes, plain or packed. Either
// the reader says why they are no saved scan, or it builds a tree in which
// every folder's files, read again from the text, add up to its FILES
// entry. Nothing may crash, leak, overflow or recurse without bound.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "savedscan/SavedScan.h"

namespace {

uint64_t AddCapped(uint64_t a, uint64_t b)
{
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TSizeTree tree;
    SavedScanOptions options;
    options.IndexFiles = true;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const SavedScanResult saved = ReadSavedScanBytes(bytes, tree, options);
    if (!saved.Root) {
        if (!saved.Fault || tree.TopLevelCount() != 0)
            std::abort();
        return 0;
    }
    std::vector<const TTreeEntry*> pending{saved.Root};
    while (!pending.empty()) {
        const TTreeEntry* e = pending.back();
        pending.pop_back();
        const TTreeEntry* files = nullptr;
        for (int i = 0; i < e->ChildCount(); ++i) {
            if (e->ChildAt(i)->IsFiles())
                files = e->ChildAt(i);
            else
                pending.push_back(e->ChildAt(i));
        }
        const LooseFileListing listing = saved.Files->List(*e, 3);
        uint64_t total = listing.SmallerBytes;
        for (const LooseFile& f : listing.Files)
            total = AddCapped(total, f.Size);
        if (listing.Error || static_cast<double>(total) != (files ? files->Size() : 0))
            std::abort();
    }
    return 0;
}
