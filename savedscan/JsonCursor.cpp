#include "savedscan/JsonCursor.h"

#include <cerrno>
#include <cstring>

JsonCursor::JsonCursor(TextSource& source, uint64_t offset, size_t bufferBytes)
    : source_(source), buffer_(bufferBytes), base_(offset)
{
}

bool JsonCursor::Refill()
{
    base_ += end_;
    pos_ = 0;
    end_ = source_.Read(buffer_.data(), buffer_.size());
    return end_ > 0;
}

void JsonCursor::Fail(const std::string& reason, uint64_t at) const
{
    throw SavedScanFailure(SavedScanFault{reason, at, 0});
}

void JsonCursor::Unexpected(const char* expected)
{
    if (Peek() < 0)
        Fail("the file ends early", Offset());
    Fail(std::string("expected ") + expected, Offset());
}

int JsonCursor::PeekTokenSlow()
{
    for (;;) {
        const int c = Peek();
        if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
            return c;
        ++pos_;
    }
}

uint32_t JsonCursor::HexDigits()
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const int c = Peek();
        uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else
            Unexpected("four hex digits after \\u");
        ++pos_;
        value = value * 16 + digit;
    }
    return value;
}

namespace {

void AppendUtf8(std::string& out, uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

void JsonCursor::String(std::string& out)
{
    out.clear();
    Expect('"', "a string");
    for (;;) {
        if (pos_ == end_ && !Refill())
            Fail("the file ends early", Offset());
        // A run of plain bytes goes in at once.
        const char* p = buffer_.data() + pos_;
        const char* stop = buffer_.data() + end_;
        const char* q = p;
        while (q < stop && PlainInString(*q))
            ++q;
        out.append(p, static_cast<size_t>(q - p));
        pos_ += static_cast<size_t>(q - p);
        if (q == stop)
            continue;
        const unsigned char c = static_cast<unsigned char>(*q);
        if (c == '"') {
            ++pos_;
            return;
        }
        if (c < 0x20)
            Fail("a control byte inside a string", Offset());
        ++pos_;  // the backslash
        const int e = Peek();
        const uint64_t at = Offset();
        ++pos_;
        switch (e) {
        case '"':
            out += '"';
            break;
        case '\\':
            out += '\\';
            break;
        case '/':
            out += '/';
            break;
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'u': {
            uint32_t code = HexDigits();
            // A surrogate pair makes one character; a lone half is kept
            // as the three bytes it would be.
            if (code >= 0xD800 && code < 0xDC00 && Peek() == '\\') {
                ++pos_;
                if (Peek() != 'u')
                    Unexpected("\\u after the first half of a surrogate pair");
                ++pos_;
                const uint32_t low = HexDigits();
                if (low >= 0xDC00 && low < 0xE000) {
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                } else {
                    AppendUtf8(out, code);
                    code = low;
                }
            }
            AppendUtf8(out, code);
            break;
        }
        case -1:
            Fail("the file ends early", at);
        default:
            Fail("an unknown escape in a string", at - 1);
        }
    }
}

std::string_view JsonCursor::StringViewSlow(std::string& scratch)
{
    String(scratch);
    return scratch;
}

JsonNumber JsonCursor::NumberSlow()
{
    JsonNumber n;
    int c = PeekToken();
    const uint64_t start = Offset();
    if (c == '-') {
        n.Negative = true;
        ++pos_;
        c = Peek();
    }
    if (c < '0' || c > '9')
        Unexpected("a number");
    if (c == '0') {
        ++pos_;
        c = Peek();
        if (c >= '0' && c <= '9')
            Fail("a number with a leading zero", start);
    } else {
        while (c >= '0' && c <= '9') {
            const uint64_t digit = static_cast<uint64_t>(c - '0');
            if (n.Value > (UINT64_MAX - digit) / 10)
                n.TooLarge = true;
            else
                n.Value = n.Value * 10 + digit;
            ++pos_;
            c = Peek();
        }
    }
    if (c == '.') {
        n.Whole = false;
        ++pos_;
        c = Peek();
        if (c < '0' || c > '9')
            Unexpected("a digit after the decimal point");
        while (c >= '0' && c <= '9') {
            ++pos_;
            c = Peek();
        }
    }
    if (c == 'e' || c == 'E') {
        n.Whole = false;
        ++pos_;
        c = Peek();
        if (c == '+' || c == '-') {
            ++pos_;
            c = Peek();
        }
        if (c < '0' || c > '9')
            Unexpected("a digit in the exponent");
        while (c >= '0' && c <= '9') {
            ++pos_;
            c = Peek();
        }
    }
    return n;
}

void JsonCursor::Literal(const char* word)
{
    const uint64_t start = Offset();
    for (const char* w = word; *w; ++w) {
        const int c = Peek();
        if (c < 0)
            Fail("the file ends early", Offset());
        if (c != static_cast<unsigned char>(*w))
            Fail("not a JSON value", start);
        ++pos_;
    }
}

bool JsonCursor::Boolean(const char* field)
{
    const int c = PeekToken();
    if (c == 't') {
        Literal("true");
        return true;
    }
    if (c == 'f') {
        Literal("false");
        return false;
    }
    if (c < 0)
        Fail("the file ends early", Offset());
    Fail(std::string(field) + " is not true or false", Offset());
}

void JsonCursor::SkipValue()
{
    // Open arrays and objects as a stack of bits would be; a count of each
    // kind is not enough to check that brackets match, so keep the kinds.
    std::string open;  // '[' or '{' per level
    std::string scratch;
    for (;;) {
        int c = PeekToken();
        if (c == '[' || c == '{') {
            if (open.size() >= kMostNesting)
                Fail("nesting deeper than 100000 levels", Offset());
            ++pos_;
            open += static_cast<char>(c);
            c = PeekToken();
            if ((c == ']' && open.back() == '[') || (c == '}' && open.back() == '{')) {
                ++pos_;
                open.pop_back();
            } else {
                if (open.back() == '{') {
                    String(scratch);
                    Expect(':', "':'");
                }
                continue;  // the first element
            }
        } else if (c == '"') {
            String(scratch);
        } else if (c == 't') {
            Literal("true");
        } else if (c == 'f') {
            Literal("false");
        } else if (c == 'n') {
            Literal("null");
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            Number();
        } else {
            Unexpected("a value");
        }
        // After a value: the next element, or the end of open levels.
        for (;;) {
            if (open.empty())
                return;
            c = PeekToken();
            if (c == ',') {
                ++pos_;
                if (open.back() == '{') {
                    String(scratch);
                    Expect(':', "':'");
                }
                break;
            }
            if ((c == ']' && open.back() == '[') || (c == '}' && open.back() == '{')) {
                ++pos_;
                open.pop_back();
                continue;
            }
            Unexpected(open.back() == '[' ? "',' or ']'" : "',' or '}'");
        }
    }
}

size_t TextFrom::Read(char* buf, size_t n)
{
    for (;;) {
        const ssize_t got = text_.ReadAt(offset_, buf, n);
        if (got >= 0) {
            offset_ += static_cast<uint64_t>(got);
            return static_cast<size_t>(got);
        }
        if (errno != EINTR)
            throw SavedScanFailure(SavedScanFault{std::string(), offset_, errno});
    }
}
