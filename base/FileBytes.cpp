#include "base/FileBytes.h"

#include <algorithm>
#include <fstream>
#include <utility>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kloxmere {

FileBytes::~FileBytes() {
    release();
}

FileBytes::FileBytes(FileBytes&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_mapped(std::exchange(other.m_mapped, false)),
      m_owned(std::move(other.m_owned)) {}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept {
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_mapped = std::exchange(other.m_mapped, false);
        m_owned = std::move(other.m_owned);
    }
    return *this;
}

void FileBytes::release() {
#ifndef _WIN32
    if (m_mapped) ::munmap(const_cast<std::uint8_t*>(m_data), m_size);
#endif
    m_owned.reset();
    m_data = nullptr;
    m_size = 0;
    m_mapped = false;
}

FileBytes FileBytes::FromVector(std::vector<std::uint8_t> bytes) {
    FileBytes held;
    held.m_owned = std::make_unique_for_overwrite<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), held.m_owned.get());
    held.m_data = held.m_owned.get();
    held.m_size = bytes.size();
    return held;
}

std::optional<FileBytes> FileBytes::Read(const std::filesystem::path& path) {
#ifndef _WIN32
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return std::nullopt;
    struct stat status {};
    void* mapped = MAP_FAILED;
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
        mapped = ::mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ, MAP_PRIVATE,
                        descriptor, 0);
    }
    ::close(descriptor);  // the mapping keeps the file
    if (mapped == MAP_FAILED) return std::nullopt;
    FileBytes held;
    held.m_data = static_cast<const std::uint8_t*>(mapped);
    held.m_size = static_cast<std::size_t>(status.st_size);
    held.m_mapped = true;
    return held;
#else
    // Read without the zero fill of a vector.
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size <= 0) return std::nullopt;
    in.seekg(0);
    FileBytes held;
    held.m_owned = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(held.m_owned.get()), size)) return std::nullopt;
    held.m_data = held.m_owned.get();
    held.m_size = static_cast<std::size_t>(size);
    return held;
#endif
}

void FileBytes::letGo(std::span<const std::uint8_t> part) const {
#ifndef _WIN32
    if (!m_mapped || part.empty()) return;
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    auto begin = reinterpret_cast<std::uintptr_t>(part.data());
    auto end = begin + part.size();
    begin = (begin + page - 1) / page * page;  // whole pages only
    end = end / page * page;
    if (begin >= end) return;
    // Read-only pages of the file: dropping them loses nothing.
    ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
#else
    (void)part;
#endif
}

}  // namespace kloxmere
