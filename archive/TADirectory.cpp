#include "archive/TADirectory.h"

#include <array>
#include <cstdlib>
#include <optional>
#include <system_error>

#include "base/Environment.h"
#include "base/FileSystem.h"
#include "base/TextCase.h"
#include "base/Utf8.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kloxmere {

namespace fs = std::filesystem;

namespace {

struct RegistryPlace {
    std::string_view key;  // below HKEY_LOCAL_MACHINE, single backslashes
    std::string_view value;
};

// In order of preference.
constexpr std::array<RegistryPlace, 4> kPlaces = {{
    {"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Total Annihilation", "Dir"},
    {"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Total Annihilation",
     "Dir"},
    {"Software\\GOG.com\\GOGTOTALANNIHILATION", "PATH"},
    {"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Steam App 298030",
     "InstallLocation"},
}};

// `path` with a trailing native separator when it names a directory; "" otherwise.
std::string directoryWithSeparator(const fs::path& path) {
    std::error_code error;
    if (path.empty() || !fs::is_directory(path, error)) return {};
    std::string text = Utf8FromPath(path);
    if (!IsSeparator(text.back())) text += NativeSeparator();
    return text;
}

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
unsigned hexValue(char c) {
    if (c <= '9') return static_cast<unsigned>(c - '0');
    return static_cast<unsigned>((c | 0x20) - 'a' + 10);
}

// Reads a Wine-escaped string from `text` at `pos` up to the unescaped
// `close` character, which is consumed. Escapes produce UTF-16 code units
// (surrogate pairs are joined); other bytes pass through as UTF-8. nullopt
// when the closing character is missing.
std::optional<std::string> readEscaped(std::string_view text, std::size_t& pos, char close) {
    std::string out;
    char16_t highSurrogate = 0;
    auto unit = [&](char32_t u) {
        if (u >= 0xD800 && u <= 0xDBFF) {
            highSurrogate = static_cast<char16_t>(u);
            return;
        }
        if (u >= 0xDC00 && u <= 0xDFFF && highSurrogate) {
            AppendUtf8(out, 0x10000 + ((char32_t{highSurrogate} - 0xD800) << 10) + (u - 0xDC00));
        } else {
            AppendUtf8(out, u);
        }
        highSurrogate = 0;
    };
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == close) return out;
        if (c != '\\' || pos >= text.size()) {
            out.push_back(c);
            highSurrogate = 0;
            continue;
        }
        char e = text[pos++];
        switch (e) {
            case 'a':
                unit(7);
                break;
            case 'b':
                unit(8);
                break;
            case 'e':
                unit(27);
                break;
            case 'f':
                unit(12);
                break;
            case 'n':
                unit(10);
                break;
            case 'r':
                unit(13);
                break;
            case 't':
                unit(9);
                break;
            case 'v':
                unit(11);
                break;
            case 'x': {
                unsigned value = 0;
                int digits = 0;
                while (digits < 4 && pos < text.size() && isHex(text[pos])) {
                    value = value * 16 + hexValue(text[pos++]);
                    ++digits;
                }
                if (digits == 0) {
                    out.push_back('x');
                } else {
                    unit(value);
                }
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    unsigned value = static_cast<unsigned>(e - '0');
                    for (int digits = 1;
                         digits < 3 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7';
                         ++digits) {
                        value = value * 8 + static_cast<unsigned>(text[pos++] - '0');
                    }
                    unit(value);
                } else {
                    out.push_back(e);
                    highSurrogate = 0;
                }
        }
    }
    return std::nullopt;
}

#ifdef _WIN32

// The string value of `place` in one registry view, "" when it is missing.
std::string registryString(const RegistryPlace& place, DWORD view) {
    std::wstring key = WideFromUtf8(place.key);
    std::wstring value = WideFromUtf8(place.value);
    DWORD flags = RRF_RT_REG_SZ | view;
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), value.c_str(), flags, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS) {
        return {};
    }
    std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), value.c_str(), flags, nullptr, data.data(),
                     &bytes) != ERROR_SUCCESS) {
        return {};
    }
    data.resize(wcsnlen(data.c_str(), data.size()));
    return Utf8FromWide(data);
}

#endif

}  // namespace

std::vector<std::string> TAPathsFromSystemReg(std::string_view systemReg) {
    std::array<std::optional<std::string>, kPlaces.size()> found;
    constexpr std::size_t kOther = kPlaces.size();
    std::size_t section = kOther;  // the place whose key the current section is

    std::size_t lineStart = 0;
    while (lineStart < systemReg.size()) {
        std::size_t lineEnd = systemReg.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = systemReg.size();
        std::string_view line = systemReg.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;

        std::size_t pos = 1;
        if (line[0] == '[') {
            section = kOther;
            std::optional<std::string> key = readEscaped(line, pos, ']');
            if (!key) continue;
            for (std::size_t i = 0; i < kPlaces.size(); ++i) {
                if (EqualsNoCase(*key, kPlaces[i].key)) section = i;
            }
        } else if (line[0] == '"' && section != kOther && !found[section]) {
            std::optional<std::string> name = readEscaped(line, pos, '"');
            if (!name || !EqualsNoCase(*name, kPlaces[section].value)) continue;
            std::string_view rest = line.substr(pos);
            if (rest.starts_with("=\"")) {
                pos += 2;
            } else if (rest.starts_with("=str(2):\"")) {
                pos += 9;
            } else {
                continue;  // not a string value
            }
            std::optional<std::string> value = readEscaped(line, pos, '"');
            if (value && !value->empty()) found[section] = std::move(*value);
        }
    }

    std::vector<std::string> paths;
    for (auto& path : found) {
        if (path) paths.push_back(std::move(*path));
    }
    return paths;
}

fs::path MapWindowsPathIntoPrefix(const fs::path& prefix, std::string_view windowsPath) {
    if (windowsPath.size() < 2 || windowsPath[1] != ':') return {};
    char drive = windowsPath[0];
    if (drive >= 'A' && drive <= 'Z') drive = static_cast<char>(drive + ('a' - 'A'));
    if (drive < 'a' || drive > 'z') return {};

    std::error_code error;
    fs::path base = prefix / "dosdevices" / (std::string(1, drive) + ":");
    if (!fs::exists(base, error)) {
        if (drive != 'c') return {};
        base = prefix / "drive_c";
    }

    std::string_view rest = windowsPath.substr(2);
    std::size_t begin = 0;
    while (begin <= rest.size()) {
        std::size_t end = begin;
        while (end < rest.size() && !IsSeparator(rest[end])) ++end;
        std::string_view part = rest.substr(begin, end - begin);
        begin = end + 1;
        if (part.empty() || part == ".") continue;
        fs::path next = base / PathFromUtf8(part);
        if (!fs::exists(next, error)) {
            // Windows paths ignore case; find the entry Wine would open.
            for (fs::directory_iterator it(base, error), last; !error && it != last;
                 it.increment(error)) {
                if (EqualsNoCase(Utf8FromPath(it->path().filename()), part)) {
                    next = it->path();
                    break;
                }
            }
            error.clear();
        }
        base = std::move(next);
    }
    return base;
}

std::string TADirectoryFromWinePrefix(const fs::path& prefix) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadFileBytes(prefix / "system.reg");
    } catch (const FileError&) {
        return {};
    }
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    for (const std::string& windowsPath : TAPathsFromSystemReg(text)) {
        std::string directory =
            directoryWithSeparator(MapWindowsPathIntoPrefix(prefix, windowsPath));
        if (!directory.empty()) return directory;
    }
    return {};
}

std::string FindTADirectory() {
    if (std::string overridden = EnvironmentValue("KLOXMERE_TA_DIR"); !overridden.empty()) {
        return directoryWithSeparator(PathFromUtf8(overridden));
    }
#ifdef _WIN32
    // The game's installers and the stores' clients are 32-bit programs, so
    // their keys usually sit in the 32-bit view that a 64-bit program does
    // not see by default: each place is looked up in both views.
    for (const RegistryPlace& place : kPlaces) {
        for (DWORD view : {RRF_SUBKEY_WOW6464KEY, RRF_SUBKEY_WOW6432KEY}) {
            std::string directory =
                directoryWithSeparator(PathFromUtf8(registryString(place, view)));
            if (!directory.empty()) return directory;
        }
    }
    return {};
#else
    fs::path prefix;
    if (std::string wine = EnvironmentValue("WINEPREFIX"); !wine.empty()) {
        prefix = PathFromUtf8(wine);
    } else if (std::string home = EnvironmentValue("HOME"); !home.empty()) {
        prefix = PathFromUtf8(home) / ".wine";
    } else {
        return {};
    }
    return TADirectoryFromWinePrefix(prefix);
#endif
}

}  // namespace kloxmere
