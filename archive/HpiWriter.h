#pragma once

// Writes archives in the game's format (see HpiFormat.h): version 1, entries
// sorted without regard to case, exact chunk tables, and the trailer
// "Copyright YYYY Cavedog Entertainment" with the current year. By default
// every file is zlib-compressed with archive key 0, which is what the game and
// every other tool read; the other encodings exist for tests and for tools
// that build archives shaped like the game's own.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archive/HpiArchive.h"

namespace kloxmere {

// Compresses one chunk (at most 65,536 bytes) to an LZ77 payload.
using HpiChunkCompressor = std::function<std::vector<std::uint8_t>(std::span<const std::uint8_t>)>;

struct HpiFileEncoding {
    HpiCompression compression = HpiCompression::Zlib;
    bool scrambleChunks = false;  // the per-chunk "encrypted" flag
};

class HpiWriter {
  public:
    // `key` is the archive key (its byte scrambles everything after the header); 0 = none.
    explicit HpiWriter(std::uint8_t key = 0);

    // Needed before adding a file with HpiCompression::Lz77.
    void setLz77Compressor(HpiChunkCompressor compressor);
    // The four characters of the trailer's year; the current year by default.
    // Throws HpiError for anything but four bytes.
    void setTrailerYear(std::string year);

    // Adds a file at `innerPath` ("\" or "/" separators; directories are made
    // as needed). Throws HpiError for an empty path, one of 260 bytes or more,
    // an empty component, a character Windows-1252 lacks (names are stored in
    // it) or a NUL, a path already added or one clashing with a directory
    // (without regard to case), a file of 2 GiB or more, and LZ77 without a
    // compressor.
    void addFile(std::string_view innerPath, std::vector<std::uint8_t> data,
                 HpiFileEncoding encoding = {});

    // The whole archive in memory. Throws HpiError when it would reach 2 GiB.
    std::vector<std::uint8_t> build() const;

    // Writes the archive to `path`, replacing it only once complete. Throws
    // HpiError (or FileError) on failure; no partial file is left behind.
    void write(const std::filesystem::path& path) const;

  private:
    struct File {
        std::string path;  // as given, "\" separators
        std::vector<std::uint8_t> data;
        HpiFileEncoding encoding;
    };
    std::uint8_t m_key;
    std::string m_year;
    HpiChunkCompressor m_lz77;
    std::map<std::string, File> m_files;  // folded path -> file
};

}  // namespace kloxmere
