#pragma once

// Reads the game's archives (*.hpi, *.ccx, *.ufo and their x forms). The byte
// layout is described in HpiFormat.h. Nothing in the file is trusted: every
// offset, count and size is checked against the file's length before use, and
// a damaged archive fails with an HpiError that names the file and the fault.
//
// Only the header and the directory block are read when an archive is opened;
// a file's chunks are read when it is extracted, so scanning a big archive for
// a few definition files never reads the whole archive.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kloxmere {

class HpiError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum class HpiCompression : std::uint8_t { Stored = 0, Lz77 = 1, Zlib = 2 };

// "stored", "lz77" or "zlib".
const char* HpiCompressionName(HpiCompression compression);

struct HpiDirEntry {
    std::string name;  // one path component, UTF-8 (decoded from Windows-1252), case as stored
    bool isDirectory = false;
    std::uint32_t size = 0;  // decompressed size of a file; 0 for a directory
    HpiCompression compression = HpiCompression::Stored;  // of a file
};

// A file entry of one directory with the id that reads it (see HpiArchive::readFiles).
struct HpiListedFile {
    const HpiDirEntry* entry = nullptr;
    std::uint32_t id = 0;
};

struct HpiFileInfo {
    std::string path;  // full inner path, components joined by "\"
    std::uint32_t size = 0;
    HpiCompression compression = HpiCompression::Stored;
};

class HpiArchive {
  public:
    ~HpiArchive();
    HpiArchive(const HpiArchive&) = delete;
    HpiArchive& operator=(const HpiArchive&) = delete;

    // Opens `path` and reads its header and directory. Throws HpiError for a
    // missing, unreadable, foreign (a saved game, the later variant) or damaged file.
    static std::unique_ptr<HpiArchive> open(const std::filesystem::path& path);

    // Reads an archive held in memory; `name` stands for the file in messages.
    static std::unique_ptr<HpiArchive> fromMemory(std::vector<std::uint8_t> bytes,
                                                  std::string name = "archive");

    // The file opened; empty for an archive read from memory.
    const std::filesystem::path& path() const;

    // The direct entries of the directory `dirPath` ("" is the root; components
    // separated by "\" or "/", matched without regard to case), in stored
    // order; nullptr when the archive has no such directory.
    const std::vector<HpiDirEntry>* listDirectory(std::string_view dirPath) const;

    // Every file of the archive, depth first in stored order.
    std::vector<HpiFileInfo> listFiles() const;

    // The file at `innerPath` ("\" or "/" separators, without regard to case).
    std::optional<HpiFileInfo> findFile(std::string_view innerPath) const;

    // The decompressed bytes of the file at `innerPath`. Throws HpiError when
    // the path names no file or the file's data is damaged (bad checksum,
    // truncated chunk, overrunning or endless LZ77 stream, ...). Safe to call
    // from several threads at once.
    std::vector<std::uint8_t> extract(std::string_view innerPath) const;

    // The file entries directly in `dirPath` (as listDirectory finds it), in
    // stored order; empty when the archive has no such directory.
    std::vector<HpiListedFile> filesIn(std::string_view dirPath) const;

    // Where the data of file `id` begins in the archive (for ordering reads).
    std::uint64_t dataOffset(std::uint32_t id) const;

    // Reads the files `ids` (of filesIn) in the order of their data, several
    // adjacent or nearby ones with one read into a buffer the thread keeps,
    // and hands each to `take` with its position in `ids`: its decompressed
    // bytes (valid during the call only), or nullopt when it cannot be read
    // (as extract would fail). Safe to call from several threads at once.
    using FileTaker =
        std::function<void(std::size_t, std::optional<std::span<const std::uint8_t>>)>;
    void readFiles(std::span<const std::uint32_t> ids, const FileTaker& take) const;

  private:
    struct Impl;
    explicit HpiArchive(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

// Bytes read from archive files by this process (headers, directories, chunk
// tables and chunks), for measuring how much of an archive a scan touches.
std::uint64_t HpiBytesRead();
void ResetHpiBytesRead();

}  // namespace kloxmere
