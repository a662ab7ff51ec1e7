#include "archive/ZlibCodec.h"

#include <new>

#ifdef KLOXMERE_DEFLATE_ZLIB
#include <zlib.h>

#include <limits>
#else
#include <libdeflate.h>
#endif

namespace kloxmere {

#ifdef KLOXMERE_DEFLATE_ZLIB

bool InflateZlib(std::span<const std::uint8_t> payload, std::span<std::uint8_t> target) {
    constexpr std::size_t kMax = std::numeric_limits<uLong>::max();
    if (payload.size() > kMax || target.size() > kMax) return false;
    uLongf produced = static_cast<uLongf>(target.size());
    // uncompress() ends with Z_BUF_ERROR when the stream wants more room than
    // `target` and with Z_OK and a smaller count when it ends early.
    int result =
        ::uncompress(target.data(), &produced, payload.data(), static_cast<uLong>(payload.size()));
    if (result == Z_MEM_ERROR) throw std::bad_alloc();
    return result == Z_OK && produced == target.size();
}

std::vector<std::uint8_t> DeflateZlib(std::span<const std::uint8_t> plain) {
    if (plain.size() > std::numeric_limits<uLong>::max()) return {};
    std::vector<std::uint8_t> payload(::compressBound(static_cast<uLong>(plain.size())));
    uLongf size = static_cast<uLongf>(payload.size());
    int result =
        ::compress2(payload.data(), &size, plain.data(), static_cast<uLong>(plain.size()), 9);
    if (result != Z_OK) return {};
    payload.resize(size);
    return payload;
}

#else

namespace {

constexpr int kLevel = 9;

// One codec state per thread, so that archives can be read and written on
// several threads at once without locking.
libdeflate_decompressor* threadDecompressor() {
    struct Holder {
        libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
        ~Holder() { libdeflate_free_decompressor(decompressor); }
    };
    thread_local Holder holder;
    if (!holder.decompressor) throw std::bad_alloc();
    return holder.decompressor;
}

libdeflate_compressor* threadCompressor() {
    struct Holder {
        libdeflate_compressor* compressor = libdeflate_alloc_compressor(kLevel);
        ~Holder() { libdeflate_free_compressor(compressor); }
    };
    thread_local Holder holder;
    if (!holder.compressor) throw std::bad_alloc();
    return holder.compressor;
}

}  // namespace

bool InflateZlib(std::span<const std::uint8_t> payload, std::span<std::uint8_t> target) {
    return libdeflate_zlib_decompress(threadDecompressor(), payload.data(), payload.size(),
                                      target.data(), target.size(), nullptr) == LIBDEFLATE_SUCCESS;
}

std::vector<std::uint8_t> DeflateZlib(std::span<const std::uint8_t> plain) {
    libdeflate_compressor* compressor = threadCompressor();
    std::vector<std::uint8_t> payload(libdeflate_zlib_compress_bound(compressor, plain.size()));
    std::size_t size = libdeflate_zlib_compress(compressor, plain.data(), plain.size(),
                                                payload.data(), payload.size());
    payload.resize(size);
    return payload;
}

#endif

}  // namespace kloxmere
