// The text of a saved scan as it lies in a file or in memory: plain, gzip
// or zstd, told apart by the first bytes, unpacked as it is read.
//
// Protocol: one reader on one thread takes the text front to back through
// Read. With SetCopy, everything read is also appended to that text (the
// unpacked copy kept for reading folders' files again).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "savedscan/TextSource.h"

enum class ScanPacking { Plain, Gzip, Zstd };

// An unpacked copy of a text, in a file of its own.
class TextCopy : public SavedText {
public:
    virtual void Append(const char* data, size_t n) = 0;  // throws SavedScanFailure
};

class ScanInput : public TextSource {
public:
    // fd stays the caller's and open while this lives.
    explicit ScanInput(int fd);
    // bytes must outlive this.
    explicit ScanInput(std::string_view bytes);
    ~ScanInput() override;
    ScanInput(const ScanInput&) = delete;
    ScanInput& operator=(const ScanInput&) = delete;

    // Reads the first bytes to tell the packing (throws SavedScanFailure).
    ScanPacking Packing();
    void SetCopy(TextCopy* copy) { copy_ = copy; }
    size_t Read(char* buf, size_t n) override;

private:
    struct Unpacker;
    size_t ReadRaw(char* buf, size_t n);
    size_t Unpack(char* buf, size_t n);
    bool FillRaw();

    int fd_ = -1;
    std::string_view memory_;
    std::string raw_;  // packed bytes read and not yet unpacked: raw_[rawPos_, rawEnd_)
    size_t rawPos_ = 0;
    size_t rawEnd_ = 0;
    bool rawDone_ = false;
    bool known_ = false;
    ScanPacking packing_ = ScanPacking::Plain;
    std::unique_ptr<Unpacker> unpacker_;
    uint64_t produced_ = 0;  // text bytes handed out
    TextCopy* copy_ = nullptr;
};

// An unnamed file in $TMPDIR (or /tmp), gone with its descriptor.
std::unique_ptr<TextCopy> MakeFileCopy();
// A copy in memory (tests and the fuzz target).
std::unique_ptr<TextCopy> MakeMemoryCopy();
// The text of a plain file read again through its own descriptor (dup'ed).
std::unique_ptr<SavedText> PlainFileText(int fd);
// The text of plain bytes in memory, which must outlive it.
std::unique_ptr<SavedText> PlainMemoryText(std::string_view bytes);
