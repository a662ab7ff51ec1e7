#include "app/XdgAssociation.h"

#include <cstdlib>
#include <span>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#include "app/modRegistry.h"
#include "base/FileSystem.h"
#include "base/TextCase.h"

namespace kloxmere {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kDefaultApplications = "[Default Applications]";

fs::path xdgDirectory(const char* variable, const fs::path& home, const char* fallback) {
    if (const char* value = std::getenv(variable); value && *value) {
        fs::path path = PathFromUtf8(value);
        if (path.is_absolute()) return path;  // a relative path is invalid and ignored
    }
    return home / fallback;
}

std::string xmlEscaped(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

// A desktop entry's string value: backslashes and line breaks escaped.
std::string valueEscaped(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\r':
                escaped += "\\r";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string_view trimmed(std::string_view line) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = line.find_last_not_of(" \t\r");
    return line.substr(first, last - first + 1);
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool isGroupHeader(std::string_view line) {
    return trimmed(line).starts_with('[');
}

// The key of a "key=value" line, or "" for any other line.
std::string_view keyOf(std::string_view line) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos || trimmed(line).starts_with('#')) return {};
    return trimmed(line.substr(0, equals));
}

}  // namespace

std::optional<XdgPlaces> XdgPlacesFromEnvironment() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return std::nullopt;
    const fs::path homePath = PathFromUtf8(home);
    return XdgPlaces{xdgDirectory("XDG_DATA_HOME", homePath, ".local/share"),
                     xdgDirectory("XDG_CONFIG_HOME", homePath, ".config")};
}

std::string XdgMimeType(std::string_view typeName, std::string_view extension) {
    if (extension.starts_with('.')) extension.remove_prefix(1);
    return "application/x-" + LowerCase(typeName) + "-" + LowerCase(extension);
}

std::string XdgMimePackage(std::string_view mimeType, std::string_view extension,
                           std::string_view comment) {
    std::string glob = extension.starts_with('.') ? "*" : "*.";
    glob += extension;
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
           "  <mime-type type=\"" +
           xmlEscaped(mimeType) +
           "\">\n"
           "    <comment>" +
           xmlEscaped(comment) +
           "</comment>\n"
           "    <glob pattern=\"" +
           xmlEscaped(glob) +
           "\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

std::string DesktopExecArgument(std::string_view argument) {
    constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    std::string quoted;
    const bool quote = argument.empty() || argument.find_first_of(kReserved) != std::string::npos;
    for (char c : argument) {
        if (c == '%') {
            quoted += "%%";  // a literal percent sign, not a field code
        } else if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            quoted += '\\';
            quoted += c;
        } else {
            quoted += c;
        }
    }
    return valueEscaped(quote ? "\"" + quoted + "\"" : quoted);
}

std::string XdgDesktopEntry(std::string_view name, std::string_view programPath,
                            std::string_view mimeType, std::string_view icon) {
    std::string entry = "[Desktop Entry]\nType=Application\n";
    entry += "Name=" + valueEscaped(name) + "\n";
    entry += "Exec=" + DesktopExecArgument(programPath) + " %f\n";
    entry += "Icon=" + valueEscaped(icon) + "\n";
    entry += "MimeType=" + std::string(mimeType) + ";\n";
    entry += "Terminal=false\nCategories=Game;StrategyGame;\n";
    return entry;
}

std::string MimeAppsWithDefault(std::string_view mimeApps, std::string_view mimeType,
                                std::string_view desktopFile) {
    const std::string entry = std::string(mimeType) + "=" + std::string(desktopFile);
    std::vector<std::string> lines = splitLines(mimeApps);
    bool inDefaults = false;
    bool replaced = false;
    std::optional<std::size_t> insertAt;  // after the first defaults group's last entry
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (isGroupHeader(lines[i])) {
            inDefaults = trimmed(lines[i]) == kDefaultApplications;
            if (inDefaults && !insertAt) insertAt = i + 1;
            continue;
        }
        if (!inDefaults) continue;
        if (keyOf(lines[i]) == mimeType) {
            lines[i] = entry;
            replaced = true;
        }
    }
    if (!replaced) {
        if (insertAt) {
            // After the last non-empty line of the first defaults group.
            std::size_t at = *insertAt;
            for (std::size_t i = at; i < lines.size() && !isGroupHeader(lines[i]); ++i) {
                if (!trimmed(lines[i]).empty()) at = i + 1;
            }
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
        } else {
            if (!lines.empty() && !trimmed(lines.back()).empty()) lines.emplace_back();
            lines.emplace_back(kDefaultApplications);
            lines.push_back(entry);
        }
    }
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

FileUpdate WriteFileIfDifferent(const fs::path& path, std::string_view content) {
    std::error_code error;
    fs::path target = path;
    if (fs::is_symlink(path, error)) {
        target = fs::canonical(path, error);
        if (error) return FileUpdate::Failed;
    }
    if (fs::exists(target, error)) {
        try {
            std::vector<std::uint8_t> bytes = ReadFileBytes(target);
            if (std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()) ==
                content) {
                return FileUpdate::Unchanged;
            }
        } catch (const FileError&) {
            // unreadable: written anew below
        }
    }
    fs::create_directories(target.parent_path(), error);
    if (error) return FileUpdate::Failed;
    try {
        WriteFileAtomically(target, std::span(reinterpret_cast<const std::uint8_t*>(content.data()),
                                              content.size()));
    } catch (const FileError&) {
        return FileUpdate::Failed;
    }
    return FileUpdate::Written;
}

void RunToolIfPresent(const std::string& tool, const std::string& directory) {
#ifdef _WIN32
    (void)tool;
    (void)directory;
#else
    const char* path = std::getenv("PATH");
    if (!path) return;
    std::string program;
    std::string_view rest = path;
    while (program.empty() && !rest.empty()) {
        const auto colon = rest.find(':');
        const std::string_view dir = rest.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
        std::string candidate = std::string(dir) + "/" + tool;
        if (!dir.empty() && ::access(candidate.c_str(), X_OK) == 0) program = candidate;
    }
    if (program.empty()) return;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv{program.data(), const_cast<char*>(directory.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
#endif
}

bool WriteXdgAssociation(const FileTypeRegistration& registration, const XdgPlaces& places,
                         const ToolRunner& run) {
    const std::string mimeType = XdgMimeType(registration.typeName, registration.extension);
    const fs::path mimeDirectory = places.dataHome / "mime";
    const fs::path applications = places.dataHome / "applications";

    const FileUpdate mime = WriteFileIfDifferent(
        mimeDirectory / "packages" / kMimePackageFileName,
        XdgMimePackage(mimeType, registration.extension, registration.description));
    FileUpdate desktop = FileUpdate::Failed;
    FileUpdate defaults = FileUpdate::Failed;
    if (mime != FileUpdate::Failed) {
        desktop = WriteFileIfDifferent(
            applications / kDesktopFileName,
            XdgDesktopEntry(registration.typeName, registration.programPath, mimeType, kIconName));
    }
    if (desktop != FileUpdate::Failed) {
        const fs::path list = places.configHome / "mimeapps.list";
        std::string current;
        std::error_code error;
        if (fs::exists(list, error)) {
            try {
                std::vector<std::uint8_t> bytes = ReadFileBytes(list);
                current.assign(bytes.begin(), bytes.end());
                defaults = FileUpdate::Unchanged;
            } catch (const FileError&) {
                // an unreadable list is left alone rather than replaced
            }
        } else {
            defaults = FileUpdate::Unchanged;
        }
        if (defaults != FileUpdate::Failed) {
            defaults = WriteFileIfDifferent(
                list, MimeAppsWithDefault(current, mimeType, kDesktopFileName));
        }
    }
    if (mime == FileUpdate::Written) run("update-mime-database", Utf8FromPath(mimeDirectory));
    if (desktop == FileUpdate::Written) {
        run("update-desktop-database", Utf8FromPath(applications));
    }
    return defaults != FileUpdate::Failed;
}

#ifndef _WIN32
bool WriteFileAssociation(const FileTypeRegistration& registration) {
    const std::optional<XdgPlaces> places = XdgPlacesFromEnvironment();
    return places && WriteXdgAssociation(registration, *places);
}
#endif

}  // namespace kloxmere
