#include "sizetree/Ordering.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

int SortBySize(const TTreeEntry& n1, const TTreeEntry& n2)
{
    const double a = n1.Size();
    const double b = n2.Size();
    if (a < b)
        return 1;
    if (a > b)
        return -1;
    return 0;
}

int SortByDiskSize(const TTreeEntry& n1, const TTreeEntry& n2)
{
    const uint64_t a = n1.Counts().DiskBytes;
    const uint64_t b = n2.Counts().DiskBytes;
    return a < b ? 1 : a > b ? -1 : 0;
}

TTVCompareEvent OrderFor(TTVCompareEvent order, SizeKind kind)
{
    if (order != SortBySize && order != SortByDiskSize)
        return order;
    return kind == SizeKind::Disk ? SortByDiskSize : SortBySize;
}

int SortByName(const TTreeEntry& n1, const TTreeEntry& n2)
{
    if (n1.IsSmallerFiles() != n2.IsSmallerFiles())
        return n1.IsSmallerFiles() ? 1 : -1;
    // std::string::compare uses char_traits<char>, which compares as unsigned
    // char; memcmp states that explicitly.
    const std::string& a = n1.Name();
    const std::string& b = n2.Name();
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    const int c = common ? std::memcmp(a.data(), b.data(), common) : 0;
    if (c != 0)
        return c < 0 ? -1 : 1;
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

void SortSubtree(TSizeTree& tree, TTreeEntry* entry)
{
    if (!entry)
        return;
    // Pre-order with an explicit stack, children pushed last-first so they
    // are visited in their new order.
    std::vector<TTreeEntry*> pending{entry};
    while (!pending.empty()) {
        TTreeEntry* e = pending.back();
        pending.pop_back();
        tree.SortChildren(e);
        for (int i = e->ChildCount(); i-- > 0;) {
            TTreeEntry* child = e->ChildAt(i);
            if (child->ChildCount() > 0)
                pending.push_back(child);
        }
    }
}
