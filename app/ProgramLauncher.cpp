#include "app/ProgramLauncher.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "base/FileSystem.h"
#include "base/TextCase.h"

namespace kloxmere {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> splitAtBlanks(std::string_view text) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t start = text.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) break;
        std::size_t end = text.find_first_of(" \t", start);
        if (end == std::string_view::npos) end = text.size();
        words.emplace_back(text.substr(start, end - start));
        at = end;
    }
    return words;
}

bool isExecutableFile(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return false;
#ifdef _WIN32
    return true;
#else
    return ::access(path.c_str(), X_OK) == 0;
#endif
}

#ifndef _WIN32

// Runs `command` in a grandchild, so that no zombie is left to reap, and
// learns through a pipe closed on exec whether the exec succeeded. Only
// async-signal-safe calls run between fork and exec.
LaunchOutcome startDetached(const LaunchCommand& command) {
    std::vector<std::string> words{command.program};
    words.insert(words.end(), command.arguments.begin(), command.arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const char* directory =
        command.workingDirectory.empty() ? nullptr : command.workingDirectory.c_str();

    int status[2];
    if (::pipe2(status, O_CLOEXEC) != 0) return LaunchOutcome::NotStarted;
    pid_t child = ::fork();
    if (child < 0) {
        ::close(status[0]);
        ::close(status[1]);
        return LaunchOutcome::NotStarted;
    }
    if (child == 0) {
        ::close(status[0]);
        if (::fork() != 0) ::_exit(0);  // the grandchild is adopted by init
        ::setsid();
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        int failure = 0;
        if (directory && ::chdir(directory) != 0) {
            failure = errno;
        } else {
            ::execv(argv[0], argv.data());
            failure = errno;
        }
        [[maybe_unused]] ssize_t written = ::write(status[1], &failure, sizeof failure);
        ::_exit(127);
    }
    ::close(status[1]);
    int childStatus = 0;
    while (::waitpid(child, &childStatus, 0) < 0 && errno == EINTR) {
    }
    int failure = 0;
    ssize_t got;
    do {
        got = ::read(status[0], &failure, sizeof failure);
    } while (got < 0 && errno == EINTR);
    ::close(status[0]);
    return got == 0 ? LaunchOutcome::Started : LaunchOutcome::NotStarted;
}

#endif

}  // namespace

bool IsWindowsProgram(std::string_view path) {
    return path.size() >= 4 && EqualsNoCase(path.substr(path.size() - 4), ".exe");
}

std::optional<std::string> FindOnPath(std::string_view name, std::string_view searchPath) {
    std::size_t at = 0;
    while (at <= searchPath.size()) {
        std::size_t end = searchPath.find(':', at);
        if (end == std::string_view::npos) end = searchPath.size();
        std::string_view directory = searchPath.substr(at, end - at);
        if (!directory.empty()) {
            fs::path candidate =
                PathFromUtf8(std::string(directory)) / PathFromUtf8(std::string(name));
            if (isExecutableFile(candidate)) return Utf8FromPath(candidate);
        }
        at = end + 1;
    }
    return std::nullopt;
}

std::optional<LaunchCommand> LaunchCommandFor(const LaunchRequest& request,
                                              std::string_view searchPath) {
    std::error_code error;
    fs::path program = fs::absolute(PathFromUtf8(request.path), error);
    if (error) program = PathFromUtf8(request.path);
    LaunchCommand command;
    command.workingDirectory = request.workingDirectory;
    if (IsWindowsProgram(request.path)) {
        auto wine = FindOnPath("wine", searchPath);
        if (!wine) return std::nullopt;
        command.program = *wine;
        command.arguments.push_back(Utf8FromPath(program));
    } else {
        command.program = Utf8FromPath(program);
    }
    for (std::string& word : splitAtBlanks(request.parameters)) {
        command.arguments.push_back(std::move(word));
    }
    return command;
}

LaunchOutcome LaunchProgram(const LaunchRequest& request) {
#ifdef _WIN32
    auto wide = [](const std::string& text) { return PathFromUtf8(text).wstring(); };
    std::wstring operation = wide(request.operation), path = wide(request.path),
                 parameters = wide(request.parameters), directory = wide(request.workingDirectory);
    HINSTANCE result = ShellExecuteW(
        nullptr, operation.c_str(), path.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
        directory.empty() ? nullptr : directory.c_str(), SW_SHOWDEFAULT);
    return reinterpret_cast<INT_PTR>(result) > 32 ? LaunchOutcome::Started
                                                  : LaunchOutcome::NotStarted;
#else
    const char* searchPath = std::getenv("PATH");
    auto command = LaunchCommandFor(request, searchPath ? searchPath : "");
    if (!command) return LaunchOutcome::WineMissing;
    return startDetached(*command);
#endif
}

std::string WineNeededMessage(const std::string& program) {
    return "Wine is needed to start " + program +
           ", but the program \"wine\" was not found on the PATH. Install Wine and try again.";
}

bool LaunchAndExplain(const LaunchRequest& request, PlatformServices& services) {
    LaunchOutcome outcome = LaunchProgram(request);
    if (outcome == LaunchOutcome::WineMissing) {
        services.ShowMessage(WineNeededMessage(request.path), kApplicationTitle,
                             MessageIcon::Exclamation);
    }
    return outcome == LaunchOutcome::Started;
}

}  // namespace kloxmere
