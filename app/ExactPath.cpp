#include "app/ExactPath.h"

#include <cstddef>
#include <cstdint>

#include "sizetree/Trash.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// The length of the valid UTF-8 character at s[at] that is no control
// character; 0 when there is none.
size_t CharacterLength(const std::string& s, size_t at)
{
    const auto b = static_cast<unsigned char>(s[at]);
    if (b < 0x20 || b == 0x7F)
        return 0;
    if (b < 0x80)
        return 1;
    size_t length = 0;
    uint32_t code = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        code = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        code = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        code = b & 0x07;
    } else {
        return 0;
    }
    if (at + length > s.size())
        return 0;
    for (size_t i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(s[at + i]);
        if ((c & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates, beyond U+10FFFF, C1 controls.
    const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF
        || (code >= 0x80 && code < 0xA0))
        return 0;
    return length;
}

}  // namespace

std::string ExactFileUri(const std::string& path)
{
    return "file://" + PercentEncodedPath(path);
}

std::string PasteablePath(const std::string& path)
{
    bool plain = true;
    for (size_t at = 0; at < path.size() && plain;) {
        const size_t n = CharacterLength(path, at);
        plain = n > 0;
        at += n;
    }
    if (plain)
        return path;
    std::string text = "$'";
    for (size_t at = 0; at < path.size();) {
        const size_t n = CharacterLength(path, at);
        if (n > 0 && path[at] != '\\' && path[at] != '\'') {
            text.append(path, at, n);
            at += n;
            continue;
        }
        const auto b = static_cast<unsigned char>(path[at++]);
        if (b == '\\' || b == '\'') {
            text += '\\';
            text += static_cast<char>(b);
        } else {
            text += "\\x";
            text += kHex[b >> 4];
            text += kHex[b & 15];
        }
    }
    return text + "'";
}
