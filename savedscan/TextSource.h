// Where the reader takes a saved scan's text from, front to back; and a
// text kept for reading again at any offset (a folder's files, later).
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

class TextSource {
public:
    virtual ~TextSource() = default;
    // Up to n bytes into buf; 0 only at the end. Throws SavedScanFailure.
    virtual size_t Read(char* buf, size_t n) = 0;
};

// Protocol: written once while the scan is read (Append), then read from
// any thread, several at once (ReadAt).
class SavedText {
public:
    virtual ~SavedText() = default;
    // Up to n bytes at offset; 0 at the end; -1 with errno on failure.
    virtual ssize_t ReadAt(uint64_t offset, char* buf, size_t n) const = 0;
};

// A saved text read from offset on, as a TextSource.
class TextFrom : public TextSource {
public:
    TextFrom(const SavedText& text, uint64_t offset) : text_(text), offset_(offset) {}
    size_t Read(char* buf, size_t n) override;

private:
    const SavedText& text_;
    uint64_t offset_;
};
