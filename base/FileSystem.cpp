#include "base/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace kloxmere {

namespace fs = std::filesystem;

fs::path PathFromUtf8(std::string_view utf8) {
#ifdef _WIN32
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return fs::path(std::string(utf8));
#endif
}

std::string Utf8FromPath(const fs::path& path) {
#ifdef _WIN32
    auto u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
#else
    return path.string();
#endif
}

char NativeSeparator() {
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::vector<std::uint8_t> ReadFileBytes(const fs::path& path) {
#ifdef _WIN32
    std::error_code error;
    if (fs::is_directory(path, error)) throw FileError(Utf8FromPath(path) + " is a directory");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileError("Cannot open " + Utf8FromPath(path));
    std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    if (in.bad()) throw FileError("Cannot read " + Utf8FromPath(path));
    return bytes;
#else
    // One open, one fstat, the reads and a close: lists are read by the
    // thousand at start-up.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw FileError("Cannot open " + Utf8FromPath(path) + ": " + std::strerror(errno));
    struct stat info {};
    std::vector<std::uint8_t> bytes;
    std::string problem;
    if (::fstat(fd, &info) != 0) {
        problem = std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        problem = "not a regular file";
    } else {
        bytes.resize(static_cast<std::size_t>(info.st_size));
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                problem = std::strerror(errno);
                break;
            }
            if (n == 0) break;  // the file shrank meanwhile
            done += static_cast<std::size_t>(n);
        }
        bytes.resize(done);
    }
    ::close(fd);
    if (!problem.empty()) throw FileError("Cannot read " + Utf8FromPath(path) + ": " + problem);
    return bytes;
#endif
}

void WriteFileAtomically(const fs::path& target, std::span<const std::uint8_t> bytes) {
    std::random_device random;
    fs::path temp = target;
    temp += ".tmp-" + std::to_string(random() % 1000000);
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (out)
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
        if (out) out.flush();
        if (!out) {
            std::error_code ignored;
            fs::remove(temp, ignored);
            throw FileError("Cannot write " + Utf8FromPath(target));
        }
    }
    std::error_code error;
    fs::rename(temp, target, error);  // replacing the target is the point here
    if (error) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw FileError("Cannot write " + Utf8FromPath(target) + ": " + error.message());
    }
}

bool RenameNoReplace(const fs::path& from, const fs::path& to, std::string* reason) {
    auto fail = [&](const std::string& why) {
        if (reason) *reason = why;
        return false;
    };
#ifdef _WIN32
    // Without MOVEFILE_REPLACE_EXISTING an existing target is refused, except
    // the file itself: Windows accepts a rename onto the same name (or one
    // differing in case), where POSIX refuses it as an existing target.
    std::error_code error;
    if (fs::equivalent(from, to, error)) return fail("the target name exists");
    if (MoveFileExW(from.c_str(), to.c_str(), 0)) return true;
    return fail(std::system_category().message(static_cast<int>(GetLastError())));
#else
#ifdef SYS_renameat2
    constexpr unsigned kRenameNoReplace = 1;  // RENAME_NOREPLACE
    if (syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), kRenameNoReplace) ==
        0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) return fail(std::strerror(errno));
#endif
    // The file system lacks renameat2: link() refuses an existing target too.
    if (::link(from.c_str(), to.c_str()) != 0) return fail(std::strerror(errno));
    if (::unlink(from.c_str()) != 0) {
        int saved = errno;
        ::unlink(to.c_str());
        return fail(std::strerror(saved));
    }
    return true;
#endif
}

#ifndef _WIN32
namespace {

bool isHiddenName(const fs::path& path) {
    std::string name = path.filename().string();
    return name.empty() || name[0] == '.';
}

}  // namespace
#endif

bool IsExistingDirectory(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

bool IsNormalFile(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return false;
#ifdef _WIN32
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
#else
    return !isHiddenName(path);
#endif
}

bool IsNormalFile(const fs::directory_entry& entry) {
#ifdef _WIN32
    return IsNormalFile(entry.path());
#else
    std::error_code error;
    return entry.is_regular_file(error) && !isHiddenName(entry.path());
#endif
}

DirectoryNames::DirectoryNames(std::string directory) : m_directory(std::move(directory)) {
    if (m_directory.empty() || !IsSeparator(m_directory.back())) m_directory += NativeSeparator();
#ifdef _WIN32
    // The listing's own attributes tell files from the rest: asking for each
    // name's status again costs two more calls a name, which thousands of
    // archives feel. A link is followed as IsNormalFile follows it.
    const fs::path directoryPath = PathFromUtf8(m_directory);
    const std::wstring pattern = directoryPath.wstring() + L"*";
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const DWORD attributes = found.dwFileAttributes;
        if (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
            continue;
        }
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
            !IsNormalFile(directoryPath / found.cFileName)) {
            continue;
        }
        addName(Utf8FromPath(fs::path(found.cFileName)));
    } while (FindNextFileW(search, &found));
    FindClose(search);
#else
    std::error_code error;
    fs::directory_iterator it(PathFromUtf8(m_directory), error), end;
    for (; !error && it != end; it.increment(error)) {
        if (IsNormalFile(*it)) addName(Utf8FromPath(it->path().filename()));
    }
#endif
}

void DirectoryNames::addName(std::string name) {
    m_byName.emplace(name, name);  // the first spelling met stands for the others
    m_exact.insert(name);
    m_names.push_back(std::move(name));
}

std::string DirectoryNames::find(std::string_view name) const {
    if (m_exact.count(std::string(name))) return std::string(name);
    auto it = m_byName.find(name);
    return it == m_byName.end() ? std::string() : it->second;
}

}  // namespace kloxmere
