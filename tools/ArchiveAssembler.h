#pragma once

// Builds archives from files encoded beforehand. HpiWriter compresses every
// file it is given; an installation generator writes thousands of archives
// that share the same model, sound and picture stand-ins, so it encodes each
// of those once and assembles archives from the encoded bytes. The layout is
// the one HpiWriter writes (entries sorted without regard to case, each
// directory's entries after its record, file data in directory order, the
// trailer), so the same files with the same encodings give the same bytes.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archive/HpiArchive.h"
#include "archive/HpiWriter.h"

namespace kloxmere::tools {

// A file as it lies in an archive at its data offset, before the archive key:
// the chunk table and the chunks (or the bytes themselves when stored). The
// bytes hold no absolute offsets, so one encoding serves any archive.
struct EncodedFile {
    std::uint32_t size = 0;  // decompressed
    HpiCompression compression = HpiCompression::Zlib;
    std::vector<std::uint8_t> data;
};

// Encodes `content` the way HpiWriter does: 65,536-byte chunks, zlib at
// HpiWriter's level or the LZ77 encoder of Lz77Encoder.h, optionally
// chunk-scrambled. Safe to call from several threads.
EncodedFile EncodeArchiveFile(std::span<const std::uint8_t> content, HpiFileEncoding encoding);

class ArchiveAssembler {
  public:
    // `key`: the archive key byte (0 = not scrambled); `year`: the trailer's four characters.
    ArchiveAssembler(std::uint8_t key, std::string year);

    // Adds `file` at `innerPath` ("\" separators). False, and nothing added,
    // when that path (without regard to case) is already in the archive.
    bool add(std::string_view innerPath, std::shared_ptr<const EncodedFile> file);

    // What a written archive holds.
    struct Summary {
        std::uint64_t directoryEnd = 0;  // header and directory block
        std::uint64_t totalBytes = 0;    // the whole file
        // The on-disk bytes of each file's data, by inner path as added.
        std::map<std::string, std::uint64_t> dataBytes;
    };

    // The whole archive in memory.
    std::vector<std::uint8_t> build(Summary* summary = nullptr) const;

    // Streams the archive to `path` through a temporary file beside it, so
    // that an interrupted run never leaves a short archive. Throws
    // std::runtime_error on failure.
    Summary write(const std::filesystem::path& path) const;

  private:
    struct Node;
    template <class Sink>
    Summary emit(Sink& sink) const;

    std::uint8_t m_key;
    std::string m_year;
    std::map<std::string, std::pair<std::string, std::shared_ptr<const EncodedFile>>>
        m_files;  // folded path -> (path, data)
};

}  // namespace kloxmere::tools
