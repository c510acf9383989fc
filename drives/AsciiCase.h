#pragma once
// Case changes that touch only the ASCII letters A-Z / a-z, so bytes of
// multi-byte (UTF-8) characters are never altered.
//
// Protocol: pure functions of their arguments; any thread. The drive list
// uses them for letters, labels and share names.

#include <string>
#include <string_view>

constexpr bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
constexpr bool IsAsciiLower(char c)
{
    return c >= 'a' && c <= 'z';
}
constexpr char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}
constexpr char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 32) : c;
}

inline std::string AsciiLower(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        c = AsciiLower(c);
    return r;
}
inline std::string AsciiUpper(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        c = AsciiUpper(c);
    return r;
}
