#include "savedscan/ScanInput.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "savedscan/ScanFault.h"

namespace {

constexpr size_t kRawBytes = 256 * 1024;
constexpr unsigned char kGzipMagic[] = {0x1F, 0x8B};
constexpr unsigned char kZstdMagic[] = {0x28, 0xB5, 0x2F, 0xFD};

[[noreturn]] void FailRead(int err, uint64_t at)
{
    throw SavedScanFailure(SavedScanFault{std::string(), at, err});
}

[[noreturn]] void FailUnpack(const std::string& reason, uint64_t at)
{
    throw SavedScanFailure(SavedScanFault{reason, at, 0});
}

class FileCopy : public TextCopy {
public:
    explicit FileCopy(int fd) : fd_(fd) {}
    ~FileCopy() override { close(fd_); }
    void Append(const char* data, size_t n) override
    {
        while (n > 0) {
            const ssize_t put = write(fd_, data, n);
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                throw SavedScanFailure(SavedScanFault{
                    std::string("cannot keep an unpacked copy: ") + std::strerror(errno), 0, 0});
            data += put;
            n -= static_cast<size_t>(put);
        }
    }
    ssize_t ReadAt(uint64_t offset, char* buf, size_t n) const override
    {
        return pread(fd_, buf, n, static_cast<off_t>(offset));
    }

private:
    int fd_;
};

// pread's answer for bytes held in memory.
ssize_t ReadFromBytes(std::string_view bytes, uint64_t offset, char* buf, size_t n)
{
    if (offset >= bytes.size())
        return 0;
    const size_t got = std::min<size_t>(n, bytes.size() - static_cast<size_t>(offset));
    std::memcpy(buf, bytes.data() + offset, got);
    return static_cast<ssize_t>(got);
}

class MemoryCopy : public TextCopy {
public:
    void Append(const char* data, size_t n) override { text_.append(data, n); }
    ssize_t ReadAt(uint64_t offset, char* buf, size_t n) const override
    {
        return ReadFromBytes(text_, offset, buf, n);
    }

private:
    std::string text_;
};

class PlainFile : public SavedText {
public:
    explicit PlainFile(int fd) : fd_(fd) {}
    ~PlainFile() override
    {
        if (fd_ >= 0)
            close(fd_);
    }
    ssize_t ReadAt(uint64_t offset, char* buf, size_t n) const override
    {
        return pread(fd_, buf, n, static_cast<off_t>(offset));
    }

private:
    int fd_;
};

class PlainMemory : public SavedText {
public:
    explicit PlainMemory(std::string_view bytes) : bytes_(bytes) {}
    ssize_t ReadAt(uint64_t offset, char* buf, size_t n) const override
    {
        return ReadFromBytes(bytes_, offset, buf, n);
    }

private:
    std::string_view bytes_;
};

}  // namespace

std::unique_ptr<TextCopy> MakeFileCopy()
{
    const char* dir = std::getenv("TMPDIR");
    if (!dir || !*dir)
        dir = "/tmp";
    int fd = open(dir, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {  // a file system without unnamed files
        std::string name = std::string(dir) + "/tallowin-scan-XXXXXX";
        fd = mkostemp(name.data(), O_CLOEXEC);
        if (fd >= 0)
            unlink(name.c_str());
    }
    if (fd < 0)
        throw SavedScanFailure(
            SavedScanFault{std::string("cannot keep an unpacked copy: ") + std::strerror(errno), 0, 0});
    return std::make_unique<FileCopy>(fd);
}

std::unique_ptr<TextCopy> MakeMemoryCopy()
{
    return std::make_unique<MemoryCopy>();
}

std::unique_ptr<SavedText> PlainFileText(int fd)
{
    return std::make_unique<PlainFile>(fcntl(fd, F_DUPFD_CLOEXEC, 0));
}

std::unique_ptr<SavedText> PlainMemoryText(std::string_view bytes)
{
    return std::make_unique<PlainMemory>(bytes);
}

// ---- unpacking --------------------------------------------------------------

struct ScanInput::Unpacker {
    z_stream Gzip{};
    bool GzipOpen = false;
    bool GzipEnded = false;  // a member ended; another may follow
    ZSTD_DCtx* Zstd = nullptr;
    size_t ZstdHint = 1;  // 0 once a frame ended exactly

    ~Unpacker()
    {
        if (GzipOpen)
            inflateEnd(&Gzip);
        ZSTD_freeDCtx(Zstd);
    }
};

ScanInput::ScanInput(int fd) : fd_(fd), raw_(kRawBytes, '\0')
{
}

ScanInput::ScanInput(std::string_view bytes) : memory_(bytes)
{
}

ScanInput::~ScanInput() = default;

bool ScanInput::FillRaw()
{
    if (rawDone_)
        return false;
    if (fd_ < 0) {
        // Memory: all of it is the raw buffer at once.
        raw_.assign(memory_.data(), memory_.size());
        rawPos_ = 0;
        rawEnd_ = raw_.size();
        rawDone_ = true;
        return rawEnd_ > 0;
    }
    // Keep what is left at the front.
    if (rawPos_ > 0) {
        std::memmove(raw_.data(), raw_.data() + rawPos_, rawEnd_ - rawPos_);
        rawEnd_ -= rawPos_;
        rawPos_ = 0;
    }
    for (;;) {
        const ssize_t got = read(fd_, raw_.data() + rawEnd_, raw_.size() - rawEnd_);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            FailRead(errno, produced_);
        if (got == 0)
            rawDone_ = true;
        rawEnd_ += static_cast<size_t>(got);
        return got > 0;
    }
}

ScanPacking ScanInput::Packing()
{
    if (known_)
        return packing_;
    known_ = true;
    while (rawEnd_ - rawPos_ < sizeof kZstdMagic && FillRaw()) {}
    const auto starts = [&](const unsigned char* magic, size_t n) {
        return rawEnd_ - rawPos_ >= n && std::memcmp(raw_.data() + rawPos_, magic, n) == 0;
    };
    if (starts(kGzipMagic, sizeof kGzipMagic)) {
        packing_ = ScanPacking::Gzip;
        unpacker_ = std::make_unique<Unpacker>();
        if (inflateInit2(&unpacker_->Gzip, 15 + 16) != Z_OK)
            FailUnpack("cannot unpack gzip: out of memory", 0);
        unpacker_->GzipOpen = true;
    } else if (starts(kZstdMagic, sizeof kZstdMagic)) {
        packing_ = ScanPacking::Zstd;
        unpacker_ = std::make_unique<Unpacker>();
        unpacker_->Zstd = ZSTD_createDCtx();
        if (!unpacker_->Zstd)
            FailUnpack("cannot unpack zstd: out of memory", 0);
    }
    return packing_;
}

size_t ScanInput::ReadRaw(char* buf, size_t n)
{
    if (rawPos_ == rawEnd_ && fd_ >= 0 && !rawDone_) {
        // Plain text goes straight into the caller's buffer.
        for (;;) {
            const ssize_t got = read(fd_, buf, n);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                FailRead(errno, produced_);
            rawDone_ = got == 0;
            return static_cast<size_t>(got);
        }
    }
    if (rawPos_ == rawEnd_ && !FillRaw())
        return 0;
    const size_t got = std::min(n, rawEnd_ - rawPos_);
    std::memcpy(buf, raw_.data() + rawPos_, got);
    rawPos_ += got;
    return got;
}

size_t ScanInput::Unpack(char* buf, size_t n)
{
    Unpacker& u = *unpacker_;
    for (;;) {
        if (rawPos_ == rawEnd_ && !FillRaw()) {
            // The packed data ended: whole only at the end of a member or frame.
            const bool whole = packing_ == ScanPacking::Gzip ? u.GzipEnded : u.ZstdHint == 0;
            if (!whole)
                FailUnpack(packing_ == ScanPacking::Gzip ? "the gzip data ends early"
                                                         : "the zstd data ends early",
                           produced_);
            return 0;
        }
        const char* in = raw_.data() + rawPos_;
        const size_t avail = rawEnd_ - rawPos_;
        size_t out = 0;
        if (packing_ == ScanPacking::Gzip) {
            if (u.GzipEnded) {
                // Another member follows (concatenated gzip files).
                inflateReset(&u.Gzip);
                u.GzipEnded = false;
            }
            u.Gzip.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in));
            u.Gzip.avail_in = static_cast<uInt>(std::min<size_t>(avail, UINT32_MAX));
            u.Gzip.next_out = reinterpret_cast<Bytef*>(buf);
            u.Gzip.avail_out = static_cast<uInt>(std::min<size_t>(n, UINT32_MAX));
            const int rc = inflate(&u.Gzip, Z_NO_FLUSH);
            rawPos_ += avail - u.Gzip.avail_in;
            out = n - u.Gzip.avail_out;
            if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
                FailUnpack(std::string("damaged gzip data: ") + (u.Gzip.msg ? u.Gzip.msg : "unknown error"),
                           produced_ + out);
            u.GzipEnded = rc == Z_STREAM_END;
        } else {
            ZSTD_inBuffer input{in, avail, 0};
            ZSTD_outBuffer output{buf, n, 0};
            const size_t rc = ZSTD_decompressStream(u.Zstd, &output, &input);
            if (ZSTD_isError(rc))
                FailUnpack(std::string("damaged zstd data: ") + ZSTD_getErrorName(rc),
                           produced_ + output.pos);
            u.ZstdHint = rc;
            rawPos_ += input.pos;
            out = output.pos;
        }
        if (out > 0)
            return out;
    }
}

size_t ScanInput::Read(char* buf, size_t n)
{
    Packing();
    const size_t got = packing_ == ScanPacking::Plain ? ReadRaw(buf, n) : Unpack(buf, n);
    produced_ += got;
    if (copy_ && got > 0)
        copy_->Append(buf, got);
    return got;
}
