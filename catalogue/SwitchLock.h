#pragma once

// The lock a batch of renames holds in the user data directory, so that two
// Kloxmere programs never switch archives at the same time. Held through an
// open file (flock on POSIX, LockFileEx on Windows): the system lets it go
// when the holder ends, however it ends.

#include <chrono>
#include <string>

namespace kloxmere {

inline constexpr std::chrono::milliseconds kSwitchLockWait{5000};

inline constexpr const char* kSwitchLockBusy = "another Kloxmere is switching archives";

class SwitchLock {
  public:
    // Tries to take the lock of `userDataDirectory`, waiting up to `wait` for
    // another holder to end (zero: one try). Whether it is held tells.
    SwitchLock(const std::string& userDataDirectory, std::chrono::milliseconds wait);
    ~SwitchLock();
    SwitchLock(const SwitchLock&) = delete;
    SwitchLock& operator=(const SwitchLock&) = delete;

    bool held() const { return m_held; }

  private:
    bool tryLock();

    bool m_held = false;
#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};

}  // namespace kloxmere
