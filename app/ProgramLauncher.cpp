#include "app/ProgramLauncher.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
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

extern char** environ;
#endif

#include "app/InstallationDiscovery.h"
#include "base/Environment.h"
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

// This process's environment with `changes` set on top, as "NAME=value".
std::vector<std::string> childEnvironment(
    const std::vector<std::pair<std::string, std::string>>& changes) {
    std::vector<std::string> entries;
    for (char** entry = environ; entry && *entry; ++entry) {
        std::string_view text(*entry);
        bool replaced = false;
        for (const auto& [name, value] : changes) {
            replaced = replaced || (text.size() > name.size() && text.starts_with(name) &&
                                    text[name.size()] == '=');
        }
        if (!replaced) entries.emplace_back(text);
    }
    for (const auto& [name, value] : changes) entries.push_back(name + "=" + value);
    return entries;
}

// Runs `command` in a grandchild, so that no zombie is left to reap, and
// learns through a pipe closed on exec whether the exec succeeded (and if
// not, its errno). Only async-signal-safe calls run between fork and exec.
LaunchOutcome startDetached(const LaunchCommand& command, int& failure) {
    std::vector<std::string> words{command.program};
    words.insert(words.end(), command.arguments.begin(), command.arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment = childEnvironment(command.environment);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    const char* directory =
        command.workingDirectory.empty() ? nullptr : command.workingDirectory.c_str();

    failure = 0;
    int status[2];
    if (::pipe2(status, O_CLOEXEC) != 0) {
        failure = errno;
        return LaunchOutcome::NotStarted;
    }
    pid_t child = ::fork();
    if (child < 0) {
        failure = errno;
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
        int error = 0;
        if (directory && ::chdir(directory) != 0) {
            error = errno;
        } else {
            ::execve(argv[0], argv.data(), envp.data());
            error = errno;
        }
        [[maybe_unused]] ssize_t written = ::write(status[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(status[1]);
    int childStatus = 0;
    while (::waitpid(child, &childStatus, 0) < 0 && errno == EINTR) {
    }
    ssize_t got;
    do {
        got = ::read(status[0], &failure, sizeof failure);
    } while (got < 0 && errno == EINTR);
    ::close(status[0]);
    if (got == 0) {
        failure = 0;
        return LaunchOutcome::Started;
    }
    return LaunchOutcome::NotStarted;
}

#endif

// Whether `path` lies in `directory` (both as real paths).
bool liesIn(const fs::path& path, const fs::path& directory) {
    std::error_code error;
    const fs::path real = fs::weakly_canonical(path, error);
    if (error) return false;
    auto [end, unused] =
        std::mismatch(directory.begin(), directory.end(), real.begin(), real.end());
    return end == directory.end();
}

// `path`, or the file differing from it only in case when `path` itself is
// missing: Windows programs ignore case, the file system does not.
fs::path inAnyCase(const fs::path& path) {
    std::error_code error;
    if (fs::exists(path, error) || !path.has_parent_path()) return path;
    const std::string name =
        DirectoryNames(Utf8FromPath(path.parent_path())).find(Utf8FromPath(path.filename()));
    return name.empty() ? path : path.parent_path() / PathFromUtf8(name);
}

bool isTheGame(const fs::path& program, const fs::path& installation) {
    std::error_code error;
    return EqualsNoCase(Utf8FromPath(program.filename()), "totala.exe") &&
           fs::equivalent(program.parent_path(), installation, error);
}

// The Steam command for a Steam game: `steam -applaunch ID`, or the Flatpak
// Steam's, whichever owns the library (the other one when it is missing).
LaunchCommand steamCommand(const SteamGame& game, std::string_view searchPath) {
    LaunchCommand command;
    auto steam = FindOnPath("steam", searchPath);
    auto flatpak = FindOnPath("flatpak", searchPath);
    if (flatpak && (game.flatpak || !steam)) {
        command.program = *flatpak;
        command.arguments = {"run", "com.valvesoftware.Steam"};
    } else if (steam) {
        command.program = *steam;
    } else {
        command.program = game.flatpak ? "flatpak" : "steam";
        command.missing = true;
    }
    command.arguments.push_back("-applaunch");
    command.arguments.push_back(game.appId);
    return command;
}

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

LaunchCommand LaunchCommandFor(const LaunchRequest& request, std::string_view searchPath,
                               const fs::path& home) {
    std::error_code error;
    fs::path program = fs::absolute(PathFromUtf8(request.path), error);
    if (error) program = PathFromUtf8(request.path);
    LaunchCommand command;
    if (IsWindowsProgram(request.path)) {
        program = inAnyCase(program);
        std::optional<fs::path> prefix;
        if (!request.installation.empty()) {
            const fs::path installation = PathFromUtf8(request.installation);
            const std::optional<SteamGame> steam = SteamGameOf(installation, home);
            if (steam && isTheGame(program, installation)) {
                command = steamCommand(*steam, searchPath);
            } else {
                prefix = EnclosingWinePrefix(installation);
                if (!prefix && steam) prefix = fs::weakly_canonical(steam->protonPrefix(), error);
                if (prefix && !liesIn(program, *prefix)) prefix.reset();
            }
        }
        if (command.program.empty()) {
            if (auto wine = FindOnPath("wine", searchPath)) {
                command.program = *wine;
            } else {
                command.program = "wine";
                command.missing = true;
            }
            command.arguments.push_back(Utf8FromPath(program));
            if (prefix) command.environment.emplace_back("WINEPREFIX", Utf8FromPath(*prefix));
        }
    } else {
        command.program = Utf8FromPath(program);
    }
    command.workingDirectory = request.workingDirectory;
    for (std::string& word : splitAtBlanks(request.parameters)) {
        command.arguments.push_back(std::move(word));
    }
    return command;
}

LaunchOutcome LaunchProgram(const LaunchRequest& request, std::string* reason) {
#ifdef _WIN32
    auto wide = [](const std::string& text) { return PathFromUtf8(text).wstring(); };
    std::wstring operation = wide(request.operation), path = wide(request.path),
                 parameters = wide(request.parameters), directory = wide(request.workingDirectory);
    HINSTANCE result = ShellExecuteW(
        nullptr, operation.c_str(), path.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
        directory.empty() ? nullptr : directory.c_str(), SW_SHOWDEFAULT);
    const INT_PTR code = reinterpret_cast<INT_PTR>(result);
    if (code > 32) return LaunchOutcome::Started;
    if (reason) *reason = "error " + std::to_string(code);
    return LaunchOutcome::NotStarted;
#else
    LaunchCommand command =
        LaunchCommandFor(request, EnvironmentValue("PATH"), PathFromUtf8(EnvironmentValue("HOME")));
    if (command.missing) {
        if (reason) *reason = command.program;
        return LaunchOutcome::ProgramMissing;
    }
    int failure = 0;
    LaunchOutcome outcome = startDetached(command, failure);
    if (outcome != LaunchOutcome::Started && reason) *reason = std::strerror(failure);
    return outcome;
#endif
}

std::string WineNeededMessage(const std::string& program) {
    return "Wine is needed to start " + program +
           ", but the program \"wine\" was not found on the PATH. Install Wine and try again.";
}

std::string ProgramNeededMessage(const std::string& needed, const std::string& program) {
    if (needed == "wine") return WineNeededMessage(program);
    return "Steam is needed to start " + program + ", but the program \"" + needed +
           "\" was not found on the PATH. Install Steam and try again.";
}

bool LaunchAndExplain(const LaunchRequest& request, PlatformServices& services) {
    std::string reason;
    LaunchOutcome outcome = LaunchProgram(request, &reason);
    if (outcome == LaunchOutcome::ProgramMissing) {
        services.ShowMessage(ProgramNeededMessage(reason, request.path), kApplicationTitle,
                             MessageIcon::Exclamation);
    } else if (outcome == LaunchOutcome::NotStarted) {
        services.ShowMessage(request.path + " could not be started: " + reason + ".",
                             kApplicationTitle, MessageIcon::Exclamation);
    }
    return outcome == LaunchOutcome::Started;
}

}  // namespace kloxmere
