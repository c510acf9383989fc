#include "sizetree/MountsBelow.h"

#include <algorithm>
#include <cstddef>

namespace {

// The n-th blank-separated field of a line (from 0); empty when there is none.
std::string_view Field(std::string_view line, int n)
{
    for (; n > 0; --n) {
        const size_t blank = line.find(' ');
        if (blank == std::string_view::npos)
            return {};
        line.remove_prefix(blank + 1);
    }
    return line.substr(0, line.find(' '));
}

// "\040" and the like back to their byte.
std::string Unescaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto octal = [&](size_t k) { return text[k] >= '0' && text[k] <= '7'; };
        if (text[i] == '\\' && i + 3 < text.size() && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
            out.push_back(
                static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

}  // namespace

MountDir MountsBelow(std::string_view mountInfo, const std::string& rootPath)
{
    const std::string prefix = rootPath.empty() || rootPath.back() != '/' ? rootPath + "/" : rootPath;
    MountDir root;
    while (!mountInfo.empty()) {
        const size_t end = std::min(mountInfo.find('\n'), mountInfo.size());
        const std::string point = Unescaped(Field(mountInfo.substr(0, end), 4));
        mountInfo.remove_prefix(std::min(end + 1, mountInfo.size()));
        if (point.size() <= prefix.size() || point.compare(0, prefix.size(), prefix) != 0)
            continue;
        MountDir* at = &root;
        for (size_t begin = prefix.size(); begin < point.size();) {
            const size_t slash = std::min(point.find('/', begin), point.size());
            if (slash > begin)
                at = &at->Below[point.substr(begin, slash - begin)];
            begin = slash + 1;
        }
    }
    return root;
}

const MountDir* MountDirBelow(const MountDir* dir, const std::string& name)
{
    if (!dir || dir->Everywhere)
        return dir;
    const auto it = dir->Below.find(name);
    return it == dir->Below.end() ? nullptr : &it->second;
}
