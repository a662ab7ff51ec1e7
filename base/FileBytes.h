#pragma once

// A whole file's bytes, read once and then only read. On POSIX the file is
// mapped: the bytes are the system's cached pages themselves, with no copy and
// no fresh memory to fault in, and parts read through can be handed back
// (they come back from the file should they be read again). On Windows the
// file is read into memory.
//
// The file must not be cut short in place while it is held: the program's
// own writers replace files by renaming a new one over them, which leaves
// these bytes as they were.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace kloxmere {

class FileBytes {
  public:
    FileBytes() = default;
    ~FileBytes();
    FileBytes(FileBytes&& other) noexcept;
    FileBytes& operator=(FileBytes&& other) noexcept;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    // The bytes of the file at `path`; nullopt when it is missing, empty or
    // cannot be read.
    static std::optional<FileBytes> Read(const std::filesystem::path& path);
    // Bytes held in memory, as a file's would be.
    static FileBytes FromVector(std::vector<std::uint8_t> bytes);

    std::span<const std::uint8_t> bytes() const { return {m_data, m_size}; }

    // Tells the system that `part` (of bytes()) will not be read again soon:
    // mapped pages wholly inside it leave the program's memory. Nothing
    // changes for the bytes themselves.
    void letGo(std::span<const std::uint8_t> part) const;

  private:
    void release();

    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    bool m_mapped = false;
    std::unique_ptr<std::uint8_t[]> m_owned;  // when read into memory
};

}  // namespace kloxmere
