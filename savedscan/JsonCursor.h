// The JSON tokens of a saved scan, read from a TextSource through a buffer,
// each byte once. Strings are taken as bytes: escapes are decoded, every
// other byte is kept as it is (valid UTF-8 or not). Nothing recurses:
// nested values are skipped with a counter.
//
// Protocol: one reader on one thread. Every fault throws SavedScanFailure
// with the offset of the byte where it was found.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "savedscan/ScanFault.h"
#include "savedscan/TextSource.h"

// A JSON number as read: its integer value when it has one.
struct JsonNumber {
    bool Negative = false;
    bool Whole = true;      // no fraction and no exponent
    bool TooLarge = false;  // more than 64 bits
    uint64_t Value = 0;     // the magnitude, when Whole and not TooLarge
};

class JsonCursor {
public:
    static constexpr size_t kBufferBytes = 64 * 1024;
    static constexpr uint32_t kMostNesting = 100000;

    // offset: where the source starts in the text (for the offsets reported).
    explicit JsonCursor(TextSource& source, uint64_t offset = 0, size_t bufferBytes = kBufferBytes);

    // Offset of the next byte in the text.
    uint64_t Offset() const { return base_ + pos_; }
    // The next byte without taking it; -1 at the end.
    int Peek()
    {
        if (pos_ == end_ && !Refill())
            return -1;
        return static_cast<unsigned char>(buffer_[pos_]);
    }
    void Skip() { ++pos_; }
    // Skips white space; then the next byte, or -1 at the end.
    int PeekToken()
    {
        if (pos_<end_&& static_cast<unsigned char>(buffer_[pos_])> ' ')
            return static_cast<unsigned char>(buffer_[pos_]);
        // One newline between items is the common case.
        if (pos_ + 1 < end_ && buffer_[pos_] == '\n' && static_cast<unsigned char>(buffer_[pos_ + 1]) > ' ')
            return static_cast<unsigned char>(buffer_[++pos_]);
        return PeekTokenSlow();
    }
    // Takes byte c after white space, or fails saying what was expected.
    void Expect(char c, const char* expected)
    {
        if (PeekToken() != static_cast<unsigned char>(c))
            Unexpected(expected);
        ++pos_;
    }
    // The next n bytes after white space when the buffer holds them, else
    // fewer; valid until the next call.
    std::string_view Ahead(size_t n)
    {
        PeekToken();
        return std::string_view(buffer_.data() + pos_, std::min(n, end_ - pos_));
    }
    void Advance(size_t n) { pos_ += n; }
    // A string (the next token) into out.
    void String(std::string& out);
    // The next token, a string, as a view into the buffer when it has no
    // escapes and lies in the buffer whole (valid until the next call);
    // else the same as String into scratch.
    std::string_view StringView(std::string& scratch)
    {
        if (PeekToken() == '"') {
            const char* p = buffer_.data() + pos_ + 1;
            const char* stop = buffer_.data() + end_;
            const char* q = p;
            while (q < stop && PlainInString(*q))
                ++q;
            if (q < stop && *q == '"') {
                pos_ = static_cast<size_t>(q + 1 - buffer_.data());
                return std::string_view(p, static_cast<size_t>(q - p));
            }
        }
        return StringViewSlow(scratch);
    }
    JsonNumber Number()
    {
        // Most numbers: a few digits, whole, in the buffer.
        const int first = PeekToken();
        if (first >= '0' && first <= '9') {
            const char* p = buffer_.data() + pos_;
            const char* stop = buffer_.data() + end_;
            const char* q = p;
            uint64_t value = 0;
            while (q < stop && q - p < 19 && IsDigit(*q))
                value = value * 10 + static_cast<uint64_t>(*q++ - '0');
            if (q < stop && !IsDigit(*q) && *q != '.' && *q != 'e' && *q != 'E'
                && (first != '0' || q - p == 1)) {
                pos_ = static_cast<size_t>(q - buffer_.data());
                JsonNumber n;
                n.Value = value;
                return n;
            }
        }
        return NumberSlow();
    }
    // true or false.
    bool Boolean(const char* field);
    // Any value, however nested (up to kMostNesting levels).
    void SkipValue();

    [[noreturn]] void Fail(const std::string& reason, uint64_t at) const;
    // Fails at the next byte: "the file ends early" at the end, else what
    // was expected.
    [[noreturn]] void Unexpected(const char* expected);

private:
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    // Bytes that stand for themselves inside a string.
    static bool PlainInString(char c)
    {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 && u != '"' && u != '\\';
    }
    std::string_view StringViewSlow(std::string& scratch);
    bool Refill();
    int PeekTokenSlow();
    JsonNumber NumberSlow();
    void Literal(const char* word);
    uint32_t HexDigits();

    TextSource& source_;
    std::vector<char> buffer_;
    size_t pos_ = 0;
    size_t end_ = 0;
    uint64_t base_;  // offset of buffer_[0]
};
