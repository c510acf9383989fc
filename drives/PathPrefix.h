#pragma once
// Component-wise path prefixes: "/home" holds "/home/ann" but not "/homework".
//
// Protocol: a pure function of its arguments; any thread.

#include <string_view>

// True when `path` is `dir` itself or lies below it. Both are absolute.
constexpr bool IsPathWithin(std::string_view path, std::string_view dir)
{
    if (dir == "/")
        return !path.empty() && path.front() == '/';
    if (!path.starts_with(dir))
        return false;
    return path.size() == dir.size() || path[dir.size()] == '/';
}
