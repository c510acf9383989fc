#include "drives/MountInfo.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace tallowin::drives {

namespace {

    bool IsOctal(char c)
    {
        return c >= '0' && c <= '7';
    }

    std::vector<std::string_view> SplitFields(std::string_view line)
    {
        std::vector<std::string_view> fields;
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
                ++i;
            const std::size_t start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t')
                ++i;
            if (i > start)
                fields.push_back(line.substr(start, i - start));
        }
        return fields;
    }

    template <typename T> bool ParseNumber(std::string_view s, T& out)
    {
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
        return ec == std::errc() && end == s.data() + s.size();
    }

    bool ParseLine(std::string_view line, TMountEntry& e)
    {
        const auto f = SplitFields(line);
        // id parent major:minor root mountpoint options [optional...] - type source super
        const auto dash = std::find(f.begin(), f.end(), std::string_view("-"));
        if (dash == f.end() || dash - f.begin() < 6 || f.end() - dash < 3)
            return false;
        const std::string_view dev = f[2];
        const std::size_t colon = dev.find(':');
        if (colon == std::string_view::npos)
            return false;
        if (!ParseNumber(f[0], e.Id) || !ParseNumber(f[1], e.ParentId)
            || !ParseNumber(dev.substr(0, colon), e.Major) || !ParseNumber(dev.substr(colon + 1), e.Minor))
            return false;
        e.Root = DecodeMountField(f[3]);
        e.MountPoint = DecodeMountField(f[4]);
        e.Options = std::string(f[5]);
        e.FsType = DecodeMountField(dash[1]);
        e.Source = DecodeMountField(dash[2]);
        e.SuperOptions = dash + 3 < f.end() ? std::string(dash[3]) : std::string();
        return !e.MountPoint.empty() && e.MountPoint.front() == '/';
    }

    bool HasOption(std::string_view options, std::string_view name)
    {
        std::size_t start = 0;
        while (start <= options.size()) {
            std::size_t end = options.find(',', start);
            if (end == std::string_view::npos)
                end = options.size();
            if (options.substr(start, end - start) == name)
                return true;
            start = end + 1;
        }
        return false;
    }

}  // namespace

bool TMountEntry::ReadOnly() const
{
    return HasOption(Options, "ro") || HasOption(SuperOptions, "ro");
}

std::string DecodeMountField(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3'
            && IsOctal(field[i + 2]) && IsOctal(field[i + 3])) {
            out += char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<TMountEntry> ParseMountInfo(std::string_view text)
{
    std::vector<TMountEntry> entries;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        TMountEntry e;
        if (ParseLine(text.substr(start, end - start), e))
            entries.push_back(std::move(e));
        start = end + 1;
    }
    return entries;
}

std::vector<TMountEntry> VisibleMounts(const std::vector<TMountEntry>& entries)
{
    // The topmost mount at a point is the last one that no other mount at the
    // same point sits on.
    std::map<std::string, std::size_t> topmost;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TMountEntry& e = entries[i];
        auto it = topmost.find(e.MountPoint);
        if (it == topmost.end()) {
            topmost.emplace(e.MountPoint, i);
            continue;
        }
        const TMountEntry& held = entries[it->second];
        if (held.ParentId != e.Id)
            it->second = i;  // e is not underneath the one held
    }
    std::map<int, std::size_t> byId;
    for (std::size_t i = 0; i < entries.size(); ++i)
        byId.emplace(entries[i].Id, i);

    // A mount is reachable when it is topmost and so is every mount above it
    // up to the root; a mount over a parent hides what was mounted below it.
    auto reachable = [&](std::size_t i) {
        bool stacked = false;  // reached from a mount stacked on this one
        for (std::size_t steps = 0; steps <= entries.size(); ++steps) {
            const TMountEntry& e = entries[i];
            if (!stacked && topmost.at(e.MountPoint) != i)
                return false;
            const auto parent = byId.find(e.ParentId);
            if (parent == byId.end() || parent->second == i)
                return true;
            stacked = entries[parent->second].MountPoint == e.MountPoint;
            i = parent->second;
        }
        return false;  // a cycle in a corrupt table
    };

    std::vector<TMountEntry> out;
    for (const auto& [point, index] : topmost)
        if (reachable(index))
            out.push_back(entries[index]);
    // std::map orders std::string keys byte by byte already.
    return out;
}

}  // namespace tallowin::drives
