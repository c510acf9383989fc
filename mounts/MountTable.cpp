#include "mounts/MountTable.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

namespace {

bool IsOctal(char c)
{
    return c >= '0' && c <= '7';
}

// A whole field of decimal digits only (no sign, no blank).
template <typename T> bool ParseNumber(std::string_view s, T& out)
{
    if (s.empty() || s.front() < '0' || s.front() > '9')
        return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
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

bool MountEntry::ReadOnly() const
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

std::optional<MountEntry> ParseMountLine(std::string_view line)
{
    if (line.find('\0') != std::string_view::npos)
        return std::nullopt;
    std::vector<std::string_view> f;
    for (std::size_t start = 0;;) {
        const std::size_t blank = line.find(' ', start);
        f.push_back(line.substr(start, blank == std::string_view::npos ? blank : blank - start));
        if (blank == std::string_view::npos)
            break;
        start = blank + 1;
    }
    // Six fixed fields, the optional ones up to "-", then exactly three.
    std::size_t dash = 6;
    while (dash < f.size() && f[dash] != "-")
        ++dash;
    if (dash >= f.size() || f.size() != dash + 4)
        return std::nullopt;
    for (std::size_t i = 0; i < f.size(); ++i)
        if (f[i].empty() && i != dash + 2)  // only the source may be empty
            return std::nullopt;
    MountEntry e;
    const std::string_view dev = f[2];
    const std::size_t colon = dev.find(':');
    if (colon == std::string_view::npos || !ParseNumber(f[0], e.Id) || !ParseNumber(f[1], e.ParentId)
        || !ParseNumber(dev.substr(0, colon), e.Major) || !ParseNumber(dev.substr(colon + 1), e.Minor))
        return std::nullopt;
    e.Root = DecodeMountField(f[3]);
    e.MountPoint = DecodeMountField(f[4]);
    e.Options = std::string(f[5]);
    e.FsType = DecodeMountField(f[dash + 1]);
    e.Source = DecodeMountField(f[dash + 2]);
    e.SuperOptions = std::string(f[dash + 3]);
    // "\000" would cut a path short wherever it is used.
    for (const std::string* s : {&e.Root, &e.MountPoint, &e.FsType, &e.Source})
        if (s->find('\0') != std::string::npos)
            return std::nullopt;
    if (e.MountPoint.front() != '/')
        return std::nullopt;
    return e;
}

std::vector<MountEntry> ParseMountTable(std::string_view text)
{
    std::vector<MountEntry> entries;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        if (auto e = ParseMountLine(text.substr(start, end - start)))
            entries.push_back(std::move(*e));
        start = end + 1;
    }
    return entries;
}

int ReadOwnMountTable(std::string& text)
{
    text.clear();
    const int fd = open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    char buffer[16384];
    ssize_t n = 0;
    while ((n = read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            text.append(buffer, static_cast<size_t>(n));
    const int error = n < 0 ? errno : 0;
    close(fd);
    return error;
}
