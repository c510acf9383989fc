#pragma once
// Drive source whose roots are the visible mount points of the machine.
//
// Protocol: as IDriveSource. Roots() re-reads the mount table; Kind,
// VolumeLabel and ShareName answer for the roots of the last Roots() call
// (unknown roots are dkOther / nullopt). The system must outlive the source.
//
// Kinds follow ClassifyMount; a fixed or RAM mount whose mount point is not
// a directory (a file bound over another file) gets no entry. Remote and
// removable mounts are never touched: their label is nullopt, and a remote
// root's share name is the mount source.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "drives/DriveSource.h"
#include "mounts/MountTable.h"
#include "drives/MountSystem.h"

class TMountDriveSource : public IDriveSource {
public:
    explicit TMountDriveSource(IMountSystem& system) : system_(system) {}

    std::vector<std::string> Roots() override;
    TDriveKind Kind(const std::string& root) override;
    std::optional<std::string> VolumeLabel(const std::string& root) override;
    std::optional<std::string> ShareName(const std::string& root) override;

private:
    struct TMount {
        MountEntry Entry;
        std::optional<TDriveKind> Kind;  // worked out on first use
    };
    TMount* Find(const std::string& root);
    TDriveKind KindOf(TMount& mount);

    IMountSystem& system_;
    std::map<std::string, TMount> mounts_;
};

// The source over the running machine, owning its system access.
std::unique_ptr<IDriveSource> MakeLinuxDriveSource();
