#include "Packing.h"

#include <zlib.h>
#include <zstd.h>

#include <fstream>
#include <stdexcept>

std::string Gzip(const std::string& text)
{
    z_stream z{};
    if (deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&z, text.size()) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (rc != Z_STREAM_END)
        throw std::runtime_error("deflate");
    return out;
}

std::string Zstd(const std::string& text)
{
    std::string out(ZSTD_compressBound(text.size()), '\0');
    const size_t n = ZSTD_compress(out.data(), out.size(), text.data(), text.size(), 3);
    if (ZSTD_isError(n))
        throw std::runtime_error("ZSTD_compress");
    out.resize(n);
    return out;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}
