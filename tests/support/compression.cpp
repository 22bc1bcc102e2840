#include "support/compression.h"
#include <stdexcept>
#include <zlib.h>

namespace sentrel::test {

namespace {

std::string deflateWith(std::string_view data, int windowBits)
{
    z_stream zs{};
    if (deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&zs, uLong(data.size())), '\0');
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = uInt(out.size());
    const int rc = deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    if (rc != Z_STREAM_END)
        throw std::runtime_error("deflate");
    return out;
}

} // namespace

std::string gzipped(std::string_view data)
{
    return deflateWith(data, 16 + MAX_WBITS);
}
std::string zlibWrapped(std::string_view data)
{
    return deflateWith(data, MAX_WBITS);
}
std::string rawDeflated(std::string_view data)
{
    return deflateWith(data, -MAX_WBITS);
}

} // namespace sentrel::test
