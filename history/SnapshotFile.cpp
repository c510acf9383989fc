#include "history/SnapshotFile.h"

#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr char kMagic[8] = {'T', 'L', 'W', 'N', 'S', 'C', 'A', 'N'};
constexpr size_t kCrcAt = 12;
constexpr int kPackLevel = 3;
// Unpacked bodies beyond this are refused (about 300 million folders).
constexpr uint64_t kMostBodyBytes = uint64_t{4} << 30;
// The least bytes a folder takes in the body: four one-byte varints.
constexpr uint64_t kLeastFolderBytes = 4;

template <typename T> void Put(std::string& out, T value)
{
    for (size_t i = 0; i < sizeof(T); ++i)
        out += static_cast<char>(static_cast<uint64_t>(value) >> (8 * i) & 0xFF);
}

template <typename T> T Get(std::string_view bytes, size_t at)
{
    uint64_t v = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        v |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return static_cast<T>(v);
}

void PutVarint(std::string& out, uint64_t v)
{
    while (v >= 0x80) {
        out += static_cast<char>((v & 0x7F) | 0x80);
        v >>= 7;
    }
    out += static_cast<char>(v);
}

uint32_t HeaderCrc(std::string_view header)
{
    std::string copy(header);
    std::memset(copy.data() + kCrcAt, 0, 4);
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(copy.data()), static_cast<uInt>(copy.size())));
}

struct Fault {
    std::string Reason;
};

// The body, unpacked as it is read: what a damaged frame declares cannot
// make it take more memory than it really unpacks to.
std::string Unpack(std::string_view packed, uint64_t expected)
{
    std::unique_ptr<ZSTD_DCtx, size_t (*)(ZSTD_DCtx*)> ctx(ZSTD_createDCtx(), ZSTD_freeDCtx);
    if (!ctx)
        throw Fault{"out of memory"};
    std::string out;
    out.resize(static_cast<size_t>(std::min<uint64_t>(expected, packed.size() * uint64_t{8} + (1 << 20)))
               + 1);
    ZSTD_inBuffer in{packed.data(), packed.size(), 0};
    size_t produced = 0;
    for (;;) {
        if (produced == out.size())
            out.resize(std::min<size_t>(out.size() * 2, static_cast<size_t>(expected) + 1));
        ZSTD_outBuffer o{out.data() + produced, out.size() - produced, 0};
        const size_t left = ZSTD_decompressStream(ctx.get(), &o, &in);
        if (ZSTD_isError(left))
            throw Fault{std::string("damaged body: ") + ZSTD_getErrorName(left)};
        produced += o.pos;
        if (produced > expected)
            throw Fault{"body longer than its header says"};
        if (left == 0)
            break;  // the frame ended
        if (in.pos == in.size && o.pos < o.size)
            throw Fault{"truncated body"};
    }
    if (in.pos != in.size)
        throw Fault{"bytes after the body"};
    if (produced != expected)
        throw Fault{"body shorter than its header says"};
    out.resize(produced);
    return out;
}

class BodyReader {
public:
    explicit BodyReader(std::string_view body) : body_(body) {}
    bool AtEnd() const { return at_ == body_.size(); }
    uint64_t Varint()
    {
        uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (at_ == body_.size())
                throw Fault{"truncated folder"};
            const auto byte = static_cast<unsigned char>(body_[at_++]);
            if (shift == 63 && byte > 1)
                throw Fault{"number out of range"};
            v |= static_cast<uint64_t>(byte & 0x7F) << shift;
            if (!(byte & 0x80))
                return v;
        }
        throw Fault{"number out of range"};
    }
    std::string_view Bytes(uint64_t n)
    {
        if (n > body_.size() - at_)
            throw Fault{"truncated name"};
        const std::string_view s = body_.substr(at_, static_cast<size_t>(n));
        at_ += static_cast<size_t>(n);
        return s;
    }

private:
    std::string_view body_;
    size_t at_ = 0;
};

FolderSnapshot ParseBody(const SnapshotHeader& header, std::string_view body)
{
    FolderSnapshot snapshot(header.RootPath, header.ScanTime);
    // A folder takes kLeastFolderBytes at least, its name the rest.
    snapshot.Reserve(static_cast<size_t>(std::min<uint64_t>(header.Folders, body.size() / kLeastFolderBytes)),
                     body.size());
    BodyReader in(body);
    struct Frame {
        size_t Index;
        uint64_t Left;     // subfolders still to come
        size_t LastChild;  // SIZE_MAX: none yet
    };
    std::vector<Frame> open;
    uint64_t read = 0;
    do {
        if (read == header.Folders)
            throw Fault{"more folders than the header says"};
        const uint64_t children = in.Varint();
        const std::string_view name = in.Bytes(in.Varint());
        FolderTotals totals;
        totals.Apparent = in.Varint();
        totals.Disk = in.Varint();
        if (open.empty() != name.empty())
            throw Fault{read == 0 ? "the root has a name" : "a folder without a name"};
        if (name.find('/') != std::string_view::npos || name.find('\0') != std::string_view::npos)
            throw Fault{"a name with a slash or a NUL byte"};
        if (children > header.Folders - read - 1)
            throw Fault{"more subfolders than folders"};
        if (!open.empty()) {
            Frame& parent = open.back();
            if (parent.LastChild != SIZE_MAX && name < snapshot.NameOf(parent.LastChild))
                throw Fault{"folders out of name order"};
        }
        const size_t index = snapshot.Open(name, totals);
        ++read;
        if (!open.empty())
            open.back().LastChild = index;
        open.push_back(Frame{index, children, SIZE_MAX});
        while (!open.empty() && open.back().Left == 0) {
            snapshot.Close(open.back().Index);
            open.pop_back();
            if (!open.empty())
                --open.back().Left;
        }
    } while (!open.empty());
    if (read != header.Folders)
        throw Fault{"fewer folders than the header says"};
    if (!in.AtEnd())
        throw Fault{"bytes after the last folder"};
    return snapshot;
}

}  // namespace

std::string EncodeSnapshot(const FolderSnapshot& snapshot)
{
    std::string body;
    body.reserve(snapshot.Count() * 12 + snapshot.Names().size());
    for (size_t i = 0; i < snapshot.Count(); ++i) {
        uint64_t children = 0;
        for (size_t c = snapshot.FirstChild(i); c != FolderSnapshot::kNone; c = snapshot.NextSibling(c, i))
            ++children;
        const std::string_view name = snapshot.NameOf(i);
        PutVarint(body, children);
        PutVarint(body, name.size());
        body.append(name);
        PutVarint(body, snapshot.At(i).Totals.Apparent);
        PutVarint(body, snapshot.At(i).Totals.Disk);
    }

    std::string out;
    out.append(kMagic, sizeof kMagic);
    Put<uint32_t>(out, kSnapshotFileVersion);
    Put<uint32_t>(out, 0);  // the CRC, below
    Put<int64_t>(out, snapshot.ScanTime());
    Put<uint64_t>(out, snapshot.Count());
    Put<uint64_t>(out, body.size());
    Put<uint32_t>(out, static_cast<uint32_t>(snapshot.RootPath().size()));
    out += snapshot.RootPath();
    const uint32_t crc = HeaderCrc(out);
    for (size_t i = 0; i < 4; ++i)
        out[kCrcAt + i] = static_cast<char>(crc >> (8 * i) & 0xFF);

    std::unique_ptr<ZSTD_CCtx, size_t (*)(ZSTD_CCtx*)> ctx(ZSTD_createCCtx(), ZSTD_freeCCtx);
    ZSTD_CCtx_setParameter(ctx.get(), ZSTD_c_compressionLevel, kPackLevel);
    ZSTD_CCtx_setParameter(ctx.get(), ZSTD_c_checksumFlag, 1);
    const size_t header = out.size();
    out.resize(header + ZSTD_compressBound(body.size()));
    const size_t packed = ZSTD_compress2(ctx.get(), out.data() + header, out.size() - header, body.data(),
                                         body.size());
    if (ZSTD_isError(packed))
        throw std::bad_alloc();  // the bound fits by definition; only memory can fail
    out.resize(header + packed);
    return out;
}

SnapshotHeaderResult ReadSnapshotHeader(std::string_view bytes)
{
    SnapshotHeaderResult result;
    if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        result.Fault.Reason = "not a remembered scan";
        return result;
    }
    if (bytes.size() < kSnapshotHeaderBytes) {
        result.Fault.Reason = "truncated header";
        return result;
    }
    const auto version = Get<uint32_t>(bytes, 8);
    if (version != kSnapshotFileVersion) {
        result.Fault.Reason = "version " + std::to_string(version) + ", not known";
        return result;
    }
    SnapshotHeader h;
    h.ScanTime = Get<int64_t>(bytes, 16);
    h.Folders = Get<uint64_t>(bytes, 24);
    h.BodyBytes = Get<uint64_t>(bytes, 32);
    const auto rootLength = Get<uint32_t>(bytes, 40);
    if (rootLength > bytes.size() - kSnapshotHeaderBytes) {
        result.Fault.Reason = "truncated header";
        return result;
    }
    h.Size = kSnapshotHeaderBytes + rootLength;
    if (HeaderCrc(bytes.substr(0, h.Size)) != Get<uint32_t>(bytes, kCrcAt)) {
        result.Fault.Reason = "damaged header";
        return result;
    }
    if (rootLength == 0 || h.Folders == 0 || h.BodyBytes > kMostBodyBytes
        || h.Folders > h.BodyBytes / kLeastFolderBytes || h.Folders > UINT32_MAX) {
        result.Fault.Reason = "header out of range";
        return result;
    }
    h.RootPath.assign(bytes.substr(kSnapshotHeaderBytes, rootLength));
    result.Header = std::move(h);
    return result;
}

SnapshotDecodeResult DecodeSnapshot(std::string_view bytes)
{
    SnapshotDecodeResult result;
    SnapshotHeaderResult header = ReadSnapshotHeader(bytes);
    if (!header.Header) {
        result.Fault = std::move(header.Fault);
        return result;
    }
    try {
        const std::string body = Unpack(bytes.substr(header.Header->Size), header.Header->BodyBytes);
        result.Snapshot = ParseBody(*header.Header, body);
    } catch (const Fault& fault) {
        result.Fault.Reason = fault.Reason;
    }
    return result;
}

SnapshotDecodeResult DecodeSnapshotBody(const SnapshotHeader& header, std::string_view body)
{
    SnapshotDecodeResult result;
    try {
        result.Snapshot = ParseBody(header, body);
    } catch (const Fault& fault) {
        result.Fault.Reason = fault.Reason;
    }
    return result;
}
