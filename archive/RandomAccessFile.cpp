#include "archive/RandomAccessFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "base/FileSystem.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kloxmere {

namespace {

[[noreturn]] void fail(const std::filesystem::path& path, const std::string& what) {
    throw FileError(Utf8FromPath(path) + ": " + what);
}

}  // namespace

RandomAccessFile::RandomAccessFile(NativeHandle handle, std::uint64_t size,
                                   std::filesystem::path path)
    : m_handle(handle), m_size(size), m_path(std::move(path)) {}

#ifdef _WIN32

std::unique_ptr<RandomAccessFile> RandomAccessFile::open(const std::filesystem::path& path) {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        fail(path, std::system_category().message(static_cast<int>(GetLastError())));
    }
    BY_HANDLE_FILE_INFORMATION info;
    LARGE_INTEGER size;
    if (!GetFileInformationByHandle(handle, &info) || !GetFileSizeEx(handle, &size)) {
        CloseHandle(handle);
        fail(path, "cannot read the file's size");
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        CloseHandle(handle);
        fail(path, "is a directory, not a file");
    }
    return std::unique_ptr<RandomAccessFile>(
        new RandomAccessFile(handle, static_cast<std::uint64_t>(size.QuadPart), path));
}

RandomAccessFile::~RandomAccessFile() {
    CloseHandle(static_cast<HANDLE>(m_handle));
}

void RandomAccessFile::readAt(std::uint64_t position, std::span<std::uint8_t> out) const {
    std::size_t done = 0;
    while (done < out.size()) {
        std::uint64_t at = position + done;
        OVERLAPPED overlapped{};
        overlapped.Offset = static_cast<DWORD>(at);
        overlapped.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(static_cast<HANDLE>(m_handle), out.data() + done, want, &got, &overlapped)) {
            DWORD error = GetLastError();
            if (error != ERROR_HANDLE_EOF) {
                fail(m_path, std::system_category().message(static_cast<int>(error)));
            }
            got = 0;
        }
        if (got == 0) fail(m_path, "the file ends early (was it changed while open?)");
        done += got;
    }
}

#else

std::unique_ptr<RandomAccessFile> RandomAccessFile::open(const std::filesystem::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) fail(path, std::strerror(errno));
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        int saved = errno;
        ::close(fd);
        fail(path, std::strerror(saved));
    }
    if (S_ISDIR(info.st_mode)) {
        ::close(fd);
        fail(path, "is a directory, not a file");
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        fail(path, "is not a regular file");
    }
    return std::unique_ptr<RandomAccessFile>(
        new RandomAccessFile(fd, static_cast<std::uint64_t>(info.st_size), path));
}

RandomAccessFile::~RandomAccessFile() {
    ::close(m_handle);
}

void RandomAccessFile::readAt(std::uint64_t position, std::span<std::uint8_t> out) const {
    std::size_t done = 0;
    while (done < out.size()) {
        ssize_t got = ::pread(m_handle, out.data() + done, out.size() - done,
                              static_cast<off_t>(position + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            fail(m_path, std::strerror(errno));
        }
        if (got == 0) fail(m_path, "the file ends early (was it changed while open?)");
        done += static_cast<std::size_t>(got);
    }
}

#endif

}  // namespace kloxmere
