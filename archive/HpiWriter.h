#pragma once

// Writes archives in the game's format (see HpiFormat.h): version 1, entries
// sorted without regard to case, exact chunk tables, and the trailer
// "Copyright YYYY Cavedog Entertainment" with the current year. By default
// every file is zlib-compressed with archive key 0, which is what the game and
// every other tool read; the other encodings exist for tests and for tools
// that build archives shaped like the game's own.
//
// A file is encoded when it is added. Tools that put the same content into
// many archives encode it once with EncodeHpiFile and add the shared result
// with addEncodedFile; the archive's bytes are the same either way.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "archive/HpiArchive.h"

namespace kloxmere {

// Compresses one chunk (at most 65,536 bytes) to an LZ77 payload.
using HpiChunkCompressor = std::function<std::vector<std::uint8_t>(std::span<const std::uint8_t>)>;

struct HpiFileEncoding {
    HpiCompression compression = HpiCompression::Zlib;
    bool scrambleChunks = false;  // the per-chunk "encrypted" flag
};

// A file as it lies in an archive at its data offset, before the archive key:
// the chunk table and the chunks, or the bytes themselves when stored. It
// holds no absolute offsets, so one encoding serves any archive.
struct HpiEncodedFile {
    std::uint32_t size = 0;  // decompressed
    HpiCompression compression = HpiCompression::Zlib;
    std::vector<std::uint8_t> data;
};

// Encodes `content` the way HpiWriter does: 65,536-byte chunks compressed
// with zlib or with `lz77`, chunk-scrambled when the encoding asks. Throws
// HpiError for content of 2 GiB or more and for LZ77 without a compressor.
// Safe to call from several threads at once (if `lz77` is).
HpiEncodedFile EncodeHpiFile(std::span<const std::uint8_t> content, HpiFileEncoding encoding,
                             const HpiChunkCompressor& lz77 = {});

class HpiWriter {
  public:
    // `key` is the archive key (its byte scrambles everything after the header); 0 = none.
    explicit HpiWriter(std::uint8_t key = 0);

    // Needed before adding a file with HpiCompression::Lz77.
    void setLz77Compressor(HpiChunkCompressor compressor);
    // The four characters of the trailer's year; the current year by default.
    // Throws HpiError for anything but four bytes.
    void setTrailerYear(std::string year);

    // Encodes `data` and adds it at `innerPath` ("\" or "/" separators;
    // directories are made as needed). Throws HpiError for an empty path, one
    // of 260 bytes or more, an empty component, a character Windows-1252
    // lacks (names are stored in it) or a NUL, a path already added or one
    // clashing with a directory (without regard to case), a file of 2 GiB or
    // more, and LZ77 without a compressor.
    void addFile(std::string_view innerPath, std::vector<std::uint8_t> data,
                 HpiFileEncoding encoding = {});

    // Adds a file encoded by EncodeHpiFile, shared with whoever else holds
    // it; the bytes must not change while the writer holds them. Refuses the
    // paths addFile refuses, a null file, and data that cannot be an encoding
    // of its size (HpiError).
    void addEncodedFile(std::string_view innerPath, std::shared_ptr<const HpiEncodedFile> file);

    // Whether a file at `innerPath` (without regard to case) was added.
    bool contains(std::string_view innerPath) const;

    // Where the structures of a built or written archive lie.
    struct Layout {
        std::uint64_t directoryEnd = 0;  // the header and the directory block
        std::uint64_t totalBytes = 0;    // the whole archive
        // The on-disk bytes of each file's data (chunk table and chunks), by
        // inner path with "\" separators, spelled as added.
        std::map<std::string, std::uint64_t> dataBytes;
    };

    // The whole archive in memory. Throws HpiError when it would reach 2 GiB.
    std::vector<std::uint8_t> build(Layout* layout = nullptr) const;

    // Streams the archive into a new file beside `path` and renames that over
    // `path` once complete: `path` is replaced only by a whole archive, and no
    // partial file is left behind. Throws HpiError when the archive would
    // reach 2 GiB (before anything is written) and FileError when writing fails.
    void write(const std::filesystem::path& path, Layout* layout = nullptr) const;

  private:
    struct File {
        std::string path;  // as given, "\" separators
        std::shared_ptr<const HpiEncodedFile> encoded;
    };
    struct Plan;

    // The path as stored ("\" separators) and folded, after the checks
    // addFile documents for paths.
    std::pair<std::string, std::string> checkedPath(std::string_view innerPath) const;
    Plan plan() const;

    std::uint8_t m_key;
    std::string m_year;
    HpiChunkCompressor m_lz77;
    std::map<std::string, File> m_files;  // folded path -> file
};

}  // namespace kloxmere
