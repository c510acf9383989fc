#pragma once
// A drive source from a table, recording every query.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "drives/DriveSource.h"

struct TFakeDrive {
    std::string Root;  // "a:\" or "/home"
    TDriveKind Kind = TDriveKind::dkFixed;
    std::optional<std::string> Label;  // nullopt: the query fails
    std::optional<std::string> Share;  // nullopt: the query fails
};

class TFakeDriveSource : public IDriveSource {
public:
    explicit TFakeDriveSource(std::vector<TFakeDrive> drives) : drives_(std::move(drives)) {}

    std::vector<std::string> Roots() override
    {
        ++RootsCalls;
        std::vector<std::string> roots;
        for (const auto& d : drives_)
            roots.push_back(d.Root);
        return roots;
    }
    TDriveKind Kind(const std::string& root) override
    {
        KindQueries.push_back(root);
        const TFakeDrive* d = Find(root);
        return d ? d->Kind : TDriveKind::dkOther;
    }
    std::optional<std::string> VolumeLabel(const std::string& root) override
    {
        LabelQueries.push_back(root);
        const TFakeDrive* d = Find(root);
        return d ? d->Label : std::nullopt;
    }
    std::optional<std::string> ShareName(const std::string& root) override
    {
        ShareQueries.push_back(root);
        // A lettered drive is asked by its local name "X:".
        const TFakeDrive* d = root.size() == 2 ? Find(std::string{char(root[0] | 0x20), ':', '\\'})
                                               : Find(root);
        return d ? d->Share : std::nullopt;
    }

    int RootsCalls = 0;
    std::vector<std::string> KindQueries, LabelQueries, ShareQueries;

private:
    const TFakeDrive* Find(const std::string& root) const
    {
        for (const auto& d : drives_) {
            const bool lettered = d.Root.size() == 3 && d.Root[1] == ':';
            if (d.Root == root)
                return &d;
            if (lettered && root.size() == 3 && (root[0] | 0x20) == d.Root[0]
                && root.substr(1) == d.Root.substr(1))
                return &d;
        }
        return nullptr;
    }
    std::vector<TFakeDrive> drives_;
};
