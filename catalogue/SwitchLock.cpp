#include "catalogue/SwitchLock.h"

#include <filesystem>
#include <system_error>
#include <thread>

#include "base/FileSystem.h"
#include "catalogue/SwitchJournal.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace kloxmere {

SwitchLock::SwitchLock(const std::string& userDataDirectory, std::chrono::milliseconds wait) {
    std::string directory = JournalDirectory(userDataDirectory);
    std::error_code error;
    std::filesystem::create_directories(PathFromUtf8(directory), error);
    std::filesystem::path file = PathFromUtf8(directory + "lock");
#ifdef _WIN32
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return;
    m_handle = handle;
#else
    m_fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0) return;
#endif
    auto deadline = std::chrono::steady_clock::now() + wait;
    while (!(m_held = tryLock()) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool SwitchLock::tryLock() {
#ifdef _WIN32
    OVERLAPPED whole{};
    return LockFileEx(static_cast<HANDLE>(m_handle),
                      LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole) != 0;
#else
    return ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
#endif
}

SwitchLock::~SwitchLock() {
#ifdef _WIN32
    if (m_handle) {
        if (m_held) {
            OVERLAPPED whole{};
            UnlockFileEx(static_cast<HANDLE>(m_handle), 0, 1, 0, &whole);
        }
        CloseHandle(static_cast<HANDLE>(m_handle));
    }
#else
    if (m_fd >= 0) ::close(m_fd);  // closing lets the lock go
#endif
}

}  // namespace kloxmere
