#include "app/Locations.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "base/Environment.h"
#include "base/FileSystem.h"

namespace kloxmere {

namespace fs = std::filesystem;

namespace {

std::string withSeparator(std::string directory) {
    if (directory.empty() || !IsSeparator(directory.back())) directory += NativeSeparator();
    return directory;
}

bool isWritableDirectory(const fs::path& directory) {
    std::error_code error;
    if (!fs::is_directory(directory, error)) return false;
#ifdef _WIN32
    fs::path probe = directory / ".kloxmere-write-test";
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
#else
    return ::access(directory.c_str(), W_OK) == 0;
#endif
}

fs::path perUserDataDirectory() {
#ifdef _WIN32
    PWSTR appData = nullptr;
    fs::path base;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &appData))) {
        base = appData;
    }
    CoTaskMemFree(appData);
    return base / "Kloxmere";
#else
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        return fs::path(xdg) / "Kloxmere";
    }
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : ".") / ".local" / "share" / "Kloxmere";
#endif
}

}  // namespace

std::string ExecutableDirectory() {
#ifdef _WIN32
    std::wstring buffer(32768, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(length);
    return withSeparator(Utf8FromPath(fs::path(buffer).parent_path()));
#else
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) return withSeparator(Utf8FromPath(fs::current_path(error)));
    return withSeparator(Utf8FromPath(exe.parent_path()));
#endif
}

namespace {

// share/kloxmere beside the executable's bin directory, or empty.
fs::path installedDataDirectory() {
    fs::path executable = PathFromUtf8(ExecutableDirectory());
    fs::path data = (executable / ".." / "share" / "kloxmere").lexically_normal();
    std::error_code error;
    return fs::is_directory(data, error) ? data : fs::path();
}

}  // namespace

bool IsInstalled() {
    return !installedDataDirectory().empty();
}

std::string ProgramDirectory() {
    fs::path data = installedDataDirectory();
    return data.empty() ? ExecutableDirectory() : withSeparator(Utf8FromPath(data));
}

std::string UserDataDirectory() {
    fs::path directory;
    if (std::string home = EnvironmentValue("KLOXMERE_HOME"); !home.empty()) {
        directory = PathFromUtf8(home);
    } else if (fs::path program = PathFromUtf8(ExecutableDirectory());
               !IsInstalled() && isWritableDirectory(program)) {
        directory = program;
    } else {
        directory = perUserDataDirectory();
    }
    std::error_code ignored;
    fs::create_directories(directory, ignored);
    return withSeparator(Utf8FromPath(directory));
}

std::string SettingsLocation() {
#ifdef _WIN32
    return "HKEY_CURRENT_USER\\Software\\Kloxmere\\Kloxmere";
#else
    fs::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        config = xdg;
    } else {
        const char* home = std::getenv("HOME");
        config = fs::path(home && *home ? home : ".") / ".config";
    }
    return Utf8FromPath(config / "Kloxmere" / "Kloxmere.conf");
#endif
}

}  // namespace kloxmere
