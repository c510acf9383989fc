#include "savedscan/ScanWriter.h"

#include <charconv>

namespace {

constexpr size_t kFlushBytes = 256 * 1024;
constexpr char kHex[] = "0123456789abcdef";

}  // namespace

void AppendJsonName(std::string& out, std::string_view name)
{
    size_t i = 0;
    while (i < name.size()) {
        size_t j = i;  // a run of bytes written as they are
        while (j < name.size()) {
            const unsigned char c = static_cast<unsigned char>(name[j]);
            if (c < 0x20 || c == 0x7F || c == '"' || c == '\\')
                break;
            ++j;
        }
        out.append(name.data() + i, j - i);
        if (j == name.size())
            return;
        const unsigned char c = static_cast<unsigned char>(name[j]);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
        i = j + 1;
    }
}

ScanWriter::ScanWriter(std::ostream& out) : out_(out)
{
    buffer_.reserve(kFlushBytes + 8192);
}

void ScanWriter::Begin(std::string_view programVersion, int64_t timestamp)
{
    buffer_ += "[1,2,{\"progname\":\"tallowin\",\"progver\":\"";
    AppendJsonName(buffer_, programVersion);
    buffer_ += "\",\"timestamp\":";
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, timestamp).ptr;
    buffer_.append(digits, end);
    buffer_ += '}';
}

void ScanWriter::Separate()
{
    buffer_ += ",\n";
}

void ScanWriter::Name(std::string_view name)
{
    buffer_ += "{\"name\":\"";
    AppendJsonName(buffer_, name);
    buffer_ += '"';
}

void ScanWriter::Number(std::string_view key, uint64_t value)
{
    buffer_ += ",\"";
    buffer_ += key;
    buffer_ += "\":";
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    buffer_.append(digits, end);
}

void ScanWriter::OpenFolder(std::string_view name, const SavedFolderFacts& facts)
{
    Separate();
    buffer_ += '[';
    Name(name);
    if (facts.HasDevice)
        Number("dev", facts.Device);
    if (facts.ReadError)
        buffer_ += ",\"read_error\":true";
    buffer_ += '}';
    WriteOut();
}

void ScanWriter::CloseFolder()
{
    buffer_ += ']';
}

void ScanWriter::File(std::string_view name, const SavedFileFacts& facts)
{
    Separate();
    Name(name);
    Number("asize", facts.Size);
    Number("dsize", facts.DiskBytes);
    if (facts.HasDevice)
        Number("dev", facts.Device);
    if (facts.Links > 1) {
        Number("ino", facts.Inode);
        buffer_ += ",\"hlnkc\":true";
        Number("nlink", facts.Links);
    }
    buffer_ += '}';
    WriteOut();
}

void ScanWriter::OtherFileSystem(std::string_view name, uint64_t device)
{
    // As the peers write a mount point: a folder holding only its info.
    Separate();
    buffer_ += '[';
    Name(name);
    if (device)
        Number("dev", device);
    buffer_ += ",\"excluded\":\"otherfs\"}]";
    WriteOut();
}

void ScanWriter::WriteOut()
{
    if (buffer_.size() < kFlushBytes)
        return;
    if (!failed_) {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        failed_ = !out_;
    }
    buffer_.clear();
}

bool ScanWriter::End()
{
    buffer_ += "]\n";
    if (!failed_) {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        out_.flush();
        failed_ = !out_;
    }
    buffer_.clear();
    return !failed_;
}
