#pragma once

// A read-only file that several threads may read at once: every read names
// its position (pread on POSIX, an overlapped ReadFile on Windows), so there
// is no shared file pointer. On Windows the file is opened with delete
// sharing, so an open archive can still be renamed between its enabled and
// disabled names.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace kloxmere {

class RandomAccessFile {
  public:
    // Opens a regular file; throws FileError naming the file (missing,
    // unreadable, a directory, ...).
    static std::unique_ptr<RandomAccessFile> open(const std::filesystem::path& path);
    ~RandomAccessFile();
    RandomAccessFile(const RandomAccessFile&) = delete;
    RandomAccessFile& operator=(const RandomAccessFile&) = delete;

    // The file's length when it was opened.
    std::uint64_t size() const { return m_size; }

    // Fills `out` with the bytes at `position`; throws FileError when the file
    // holds fewer (it shrank since it was opened) or the read fails.
    void readAt(std::uint64_t position, std::span<std::uint8_t> out) const;

  private:
#ifdef _WIN32
    using NativeHandle = void*;
#else
    using NativeHandle = int;
#endif
    RandomAccessFile(NativeHandle handle, std::uint64_t size, std::filesystem::path path);

    NativeHandle m_handle;
    std::uint64_t m_size;
    std::filesystem::path m_path;
};

}  // namespace kloxmere
