#include "sizetree/ReportText.h"

#include <cstdint>

namespace {

constexpr size_t kFlushBytes = 256 * 1024;
constexpr char kHex[] = "0123456789ABCDEF";

bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence of two or more bytes at s[i], or 0.
size_t MultiByteLength(std::string_view s, size_t i)
{
    const auto at = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = at(i);
    size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0)
            lo = 0xA0;
        if (c == 0xED)
            hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0)
            lo = 0x90;
        if (c == 0xF4)
            hi = 0x8F;
    } else {
        return 0;
    }
    if (i + len > s.size() || at(i + 1) < lo || at(i + 1) > hi)
        return 0;
    for (size_t k = 2; k < len; ++k)
        if (!IsContinuation(at(i + k)))
            return 0;
    return len;
}

}  // namespace

void AppendEscaped(std::string& out, std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            size_t j = i + 1;  // a run of plain ASCII goes in at once
            while (j < text.size()) {
                const unsigned char d = static_cast<unsigned char>(text[j]);
                if (d < 0x20 || d >= 0x7F || d == '\\')
                    break;
                ++j;
            }
            out.append(text.data() + i, j - i);
            i = j;
        } else if (c == '\\') {
            out += "\\\\";
            ++i;
        } else if (const size_t len = c >= 0x80 ? MultiByteLength(text, i) : 0) {
            out.append(text.data() + i, len);
            i += len;
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
            ++i;
        }
    }
}

std::string EscapeForReport(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    AppendEscaped(out, text);
    return out;
}

TReportWriter::TReportWriter(std::ostream& out) : out_(out)
{
    buffer_.reserve(kFlushBytes + 4096);
}

void AppendReportLine(std::string& out, int level, std::string_view text)
{
    out.append(static_cast<size_t>(level) * 2, ' ');
    AppendEscaped(out, text);
    out += '\n';
}

void TReportWriter::Line(int level, std::string_view text)
{
    AppendReportLine(buffer_, level, text);
    if (buffer_.size() >= kFlushBytes) {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }
}

void TReportWriter::Text(std::string_view lines)
{
    if (buffer_.size() + lines.size() < kFlushBytes) {
        buffer_.append(lines);
        return;
    }
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
    out_.write(lines.data(), static_cast<std::streamsize>(lines.size()));
}

bool TReportWriter::Flush()
{
    if (!buffer_.empty()) {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }
    out_.flush();
    return static_cast<bool>(out_);
}
