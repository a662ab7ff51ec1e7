#include "archive/modHPIUtil.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "archive/HpiArchive.h"
#include "archive/HpiWriter.h"
#include "archive/TADirectory.h"
#include "base/FileSystem.h"

namespace kloxmere {

namespace {

// An archive being built between HPICreate and HPIPackArchive.
struct PendingArchive {
    std::filesystem::path target;
    HPICallback callback = nullptr;
    HpiWriter writer;
    std::int32_t fileCount = 0;
};

// Open archives and archives being built, by handle. Lookups hand out shared
// pointers, so a handle closed by one thread never pulls an archive away
// from a call still using it on another.
class HandleTable {
  public:
    template <class T>
    std::int32_t add(std::shared_ptr<T> item) {
        std::lock_guard lock(m_mutex);
        std::int32_t handle = freeHandle();
        if constexpr (std::is_same_v<T, HpiArchive>) {
            m_archives.emplace(handle, std::move(item));
        } else {
            m_pending.emplace(handle, std::move(item));
        }
        return handle;
    }

    std::shared_ptr<HpiArchive> archive(std::int32_t handle) {
        std::lock_guard lock(m_mutex);
        auto it = m_archives.find(handle);
        return it == m_archives.end() ? nullptr : it->second;
    }

    std::shared_ptr<PendingArchive> pending(std::int32_t handle) {
        std::lock_guard lock(m_mutex);
        auto it = m_pending.find(handle);
        return it == m_pending.end() ? nullptr : it->second;
    }

    void remove(std::int32_t handle) {
        std::lock_guard lock(m_mutex);
        m_archives.erase(handle);
        m_pending.erase(handle);
    }

  private:
    // Handles count up from 1 and wrap around, skipping 0, negative values
    // and handles still in use.
    std::int32_t freeHandle() {
        for (;;) {
            std::int32_t handle = m_next;
            m_next = m_next == std::numeric_limits<std::int32_t>::max() ? 1 : m_next + 1;
            if (!m_archives.count(handle) && !m_pending.count(handle)) return handle;
        }
    }

    std::mutex m_mutex;
    std::int32_t m_next = 1;
    std::unordered_map<std::int32_t, std::shared_ptr<HpiArchive>> m_archives;
    std::unordered_map<std::int32_t, std::shared_ptr<PendingArchive>> m_pending;
};

HandleTable& handles() {
    static HandleTable table;
    return table;
}

}  // namespace

std::int32_t GetTADirectory(std::span<char, 256> buffer) {
    std::string directory = FindTADirectory();
    // A path that does not fit is left out rather than cut short.
    if (!directory.empty() && directory.size() < buffer.size()) {
        std::memcpy(buffer.data(), directory.data(), directory.size());
        buffer[directory.size()] = '\0';
    }
    return 0;
}

std::int32_t HPIOpen(const std::string& archivePath) {
    try {
        std::shared_ptr<HpiArchive> archive = HpiArchive::open(PathFromUtf8(archivePath));
        return handles().add(std::move(archive));
    } catch (const std::exception&) {
        return 0;
    }
}

std::int32_t HPIAdopt(std::shared_ptr<HpiArchive> archive) {
    return handles().add(std::move(archive));
}

std::int32_t HPIDir(std::int32_t handle, std::int32_t next, const std::string& dirName,
                    std::string& nameBuffer, std::int32_t& kind, std::int32_t& size) {
    std::shared_ptr<HpiArchive> archive = handles().archive(handle);
    if (!archive || next < 0) return 0;
    const std::vector<HpiDirEntry>* entries = archive->listDirectory(dirName);
    if (!entries || static_cast<std::size_t>(next) >= entries->size()) return 0;

    const HpiDirEntry& entry = (*entries)[static_cast<std::size_t>(next)];
    nameBuffer.resize(std::max<std::size_t>({nameBuffer.size(), 256, entry.name.size() + 1}), ' ');
    std::copy(entry.name.begin(), entry.name.end(), nameBuffer.begin());
    nameBuffer[entry.name.size()] = '\0';
    kind = entry.isDirectory ? 1 : 0;
    size = static_cast<std::int32_t>(entry.size);  // the writer keeps files under 2 GiB
    return next + 1;
}

std::int32_t HPIExtractToMemory(std::int32_t handle, const std::string& innerPath,
                                std::vector<std::uint8_t>& out) {
    std::shared_ptr<HpiArchive> archive = handles().archive(handle);
    if (!archive) return 0;
    try {
        out = archive->extract(innerPath);
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

std::int32_t HPIExtractFile(std::int32_t handle, const std::string& innerPath,
                            const std::string& destPath) {
    std::vector<std::uint8_t> bytes;
    if (HPIExtractToMemory(handle, innerPath, bytes) != 1) return 0;
    try {
        // The destination appears only complete; on failure nothing is left.
        WriteFileAtomically(PathFromUtf8(destPath), bytes);
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

std::int32_t HPIClose(std::int32_t handle) {
    handles().remove(handle);
    return 0;
}

std::int32_t HPICreate(const std::string& archivePath, HPICallback callback) {
    if (archivePath.empty()) return 0;
    std::filesystem::path target = PathFromUtf8(archivePath);
    std::error_code error;
    if (target.has_parent_path() && !std::filesystem::is_directory(target.parent_path(), error)) {
        return 0;
    }
    if (std::filesystem::is_directory(target, error)) return 0;
    auto pending = std::make_shared<PendingArchive>();
    pending->target = std::move(target);
    pending->callback = callback;
    return handles().add(std::move(pending));
}

std::int32_t HPIAddFile(std::int32_t handle, const std::string& innerPath,
                        const std::string& sourcePath) {
    std::shared_ptr<PendingArchive> pending = handles().pending(handle);
    if (!pending) return 0;
    try {
        // Read now: callers delete their temporary source files before packing.
        pending->writer.addFile(innerPath, ReadFileBytes(PathFromUtf8(sourcePath)));
        ++pending->fileCount;
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

std::int32_t HPIAddFileFromMemory(std::int32_t handle, const std::string& innerPath,
                                  std::span<const std::uint8_t> bytes) {
    std::shared_ptr<PendingArchive> pending = handles().pending(handle);
    if (!pending) return 0;
    try {
        pending->writer.addFile(innerPath, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        ++pending->fileCount;
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

std::int32_t HPIPackArchive(std::int32_t handle, std::int32_t /*reserved*/) {
    std::shared_ptr<PendingArchive> pending = handles().pending(handle);
    if (!pending) return 0;
    handles().remove(handle);
    try {
        pending->writer.write(pending->target);
    } catch (const std::exception&) {
        return 0;
    }
    if (pending->callback) {
        pending->callback(pending->fileCount, pending->fileCount, 0, 0, 0, 0, 0, 0);
    }
    return 1;
}

std::string BytesToString(std::span<const char> buffer) {
    auto zero = std::find(buffer.begin(), buffer.end(), '\0');
    return std::string(buffer.begin(), zero);
}

std::string TrimAtNull(std::string_view text) {
    std::size_t zero = text.find('\0');
    if (zero != std::string_view::npos) return std::string(text.substr(0, zero));
    std::size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

}  // namespace kloxmere
