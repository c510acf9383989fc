// Any text as a mount table: the parser, the visible mounts and the mount
// tree must neither fail nor break what their callers rely on.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "mounts/MountTable.h"
#include "mounts/MountTree.h"
#include "mounts/VisibleMounts.h"

namespace {

void Require(bool holds)
{
    if (!holds)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<MountEntry> mounts = ParseMountTable(text);
    for (const MountEntry& m : mounts) {
        Require(!m.MountPoint.empty() && m.MountPoint.front() == '/');
        Require(m.MountPoint.find('\0') == std::string::npos && m.Root.find('\0') == std::string::npos);
        Require(m.MountPoint.size() <= size);
    }
    const std::vector<MountEntry> visible = VisibleMounts(mounts);
    Require(visible.size() <= mounts.size());
    for (size_t i = 1; i < visible.size(); ++i)
        Require(visible[i - 1].MountPoint < visible[i].MountPoint);
    const MountDir tree = MountsBelow(mounts, "/");
    Require(!tree.Everywhere);
    for (const auto& [name, below] : tree.Below)
        Require(!name.empty() && name.find('/') == std::string::npos && MountDirBelow(&tree, name) == &below);
    Require(DecodeMountField(text).size() <= size);
    return 0;
}
