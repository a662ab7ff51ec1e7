#include "catalogue/GameGuard.h"

#include <filesystem>
#include <system_error>

#include "base/TextCase.h"
#include "units/modGeneric.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: tlhelp32.h needs its types.
#include <tlhelp32.h>

#include "base/Environment.h"
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kloxmere {

namespace {

constexpr std::string_view kGame = "totala.exe";

#ifndef _WIN32
// A process may end between listing /proc and reading its files: the read
// then fails (ESRCH) and the process simply has nothing to show.
std::string slurp(const std::filesystem::path& path) {
    std::string text;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return text;
    char buffer[4096];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return text;
}
#endif

}  // namespace

bool NamesGame(std::string_view text) {
    if (text.size() < kGame.size()) return false;
    std::string_view tail = text.substr(text.size() - kGame.size());
    if (!EqualsNoCase(tail, kGame)) return false;
    if (text.size() == kGame.size()) return true;
    char before = text[text.size() - kGame.size() - 1];
    return before == '/' || before == '\\';
}

std::optional<RunningGame> FindRunningGame() {
#ifdef _WIN32
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<RunningGame> found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD self = GetCurrentProcessId();
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
         more = Process32NextW(snapshot, &entry)) {
        std::string name = Utf8FromWide(entry.szExeFile);
        if (entry.th32ProcessID != self && NamesGame(name)) {
            found = RunningGame{entry.th32ProcessID, FileTitle(name)};
        }
    }
    CloseHandle(snapshot);
    return found;
#else
    namespace fs = std::filesystem;
    std::error_code error;
    const std::string self = std::to_string(::getpid());
    fs::directory_iterator it("/proc", error), end;
    for (; !error && it != end; it.increment(error)) {
        std::string pid = it->path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos ||
            pid == self) {
            continue;
        }
        // The arguments (argument 0 as the process was started, which is
        // what Wine shows), then the name the kernel keeps.
        std::string arguments = slurp(it->path() / "cmdline");
        std::size_t start = 0;
        while (start < arguments.size()) {
            std::size_t stop = arguments.find('\0', start);
            if (stop == std::string::npos) stop = arguments.size();
            std::string_view argument(arguments.data() + start, stop - start);
            if (NamesGame(argument)) return RunningGame{std::stoul(pid), FileTitle(argument)};
            start = stop + 1;
        }
        std::string comm = slurp(it->path() / "comm");
        while (!comm.empty() && comm.back() == '\n') comm.pop_back();
        if (NamesGame(comm)) return RunningGame{std::stoul(pid), comm};
        std::string exe = fs::read_symlink(it->path() / "exe", error).string();
        error.clear();
        if (NamesGame(exe)) return RunningGame{std::stoul(pid), FileTitle(exe)};
    }
    return std::nullopt;
#endif
}

std::string GameRunningMessage(const RunningGame& game) {
    return "TA is running (process " + std::to_string(game.pid) + ", " + game.name +
           "): close the game before switching archives.";
}

}  // namespace kloxmere
