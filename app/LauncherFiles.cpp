#include "app/LauncherFiles.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <system_error>

#include "base/FileSystem.h"
#include "base/TextCase.h"
#include "base/Utf8.h"

namespace kloxmere {

namespace fs = std::filesystem;

namespace {

// A token of Valve's key-value text: a string (quoted or bare) or a brace.
struct VdfToken {
    enum Kind { Text, Open, Close } kind;
    std::string text;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<VdfToken> vdfTokens(std::string_view text) {
    std::vector<VdfToken> tokens;
    std::size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (isBlank(c)) {
            ++at;
        } else if (c == '/' && at + 1 < text.size() && text[at + 1] == '/') {
            at = text.find('\n', at);
            if (at == std::string_view::npos) break;
        } else if (c == '{' || c == '}') {
            tokens.push_back({c == '{' ? VdfToken::Open : VdfToken::Close, {}});
            ++at;
        } else if (c == '"') {
            std::string value;
            ++at;
            bool closed = false;
            while (at < text.size()) {
                char next = text[at++];
                if (next == '"') {
                    closed = true;
                    break;
                }
                if (next == '\\' && at < text.size()) {
                    next = text[at++];
                    if (next == 'n') next = '\n';
                    if (next == 't') next = '\t';
                }
                value.push_back(next);
            }
            if (!closed) break;  // a truncated file: the unfinished string is dropped
            tokens.push_back({VdfToken::Text, std::move(value)});
        } else {
            std::size_t end = at;
            while (end < text.size() && !isBlank(text[end]) && text[end] != '"' &&
                   text[end] != '{' && text[end] != '}') {
                ++end;
            }
            tokens.push_back({VdfToken::Text, std::string(text.substr(at, end - at))});
            at = end;
        }
    }
    return tokens;
}

// Calls `pair(key, value, depth)` for every key followed by a string value;
// `depth` counts the braces around it.
template <class Pair>
void forEachVdfPair(std::string_view text, Pair&& pair) {
    const std::vector<VdfToken> tokens = vdfTokens(text);
    int depth = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind == VdfToken::Open) {
            ++depth;
        } else if (tokens[i].kind == VdfToken::Close) {
            if (depth > 0) --depth;
        } else if (i + 1 < tokens.size() && tokens[i + 1].kind == VdfToken::Text) {
            pair(tokens[i].text, tokens[i + 1].text, depth);
            ++i;
        }
    }
}

bool allDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// A YAML scalar as written on one line: quotes removed; for a bare value, a
// trailing " #" comment too.
std::string yamlScalar(std::string_view value) {
    value = trimmed(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return std::string(value.substr(1, value.size() - 2));
    }
    if (std::size_t comment = value.find(" #"); comment != std::string_view::npos) {
        value = trimmed(value.substr(0, comment));
    }
    return std::string(value);
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The JSON string starting at `at` (its opening quote); nullopt when it is
// not one or is cut off.
std::optional<std::string> jsonString(std::string_view text, std::size_t at) {
    if (at >= text.size() || text[at] != '"') return std::nullopt;
    std::string out;
    char32_t high = 0;
    for (++at; at < text.size();) {
        const char c = text[at++];
        if (c == '"') return out;
        if (c != '\\') {
            out.push_back(c);
            continue;
        }
        if (at >= text.size()) return std::nullopt;
        const char e = text[at++];
        switch (e) {
            case 'n':
                out.push_back('\n');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 'b':
                out.push_back('\b');
                break;
            case 'f':
                out.push_back('\f');
                break;
            case 'u': {
                if (at + 4 > text.size()) return std::nullopt;
                char32_t unit = 0;
                for (int i = 0; i < 4; ++i) {
                    const char h = text[at++];
                    if (!isHexDigit(h)) return std::nullopt;
                    unit = unit * 16 +
                           static_cast<char32_t>(h <= '9' ? h - '0' : (h | 0x20) - 'a' + 10);
                }
                if (unit >= 0xD800 && unit <= 0xDBFF) {
                    high = unit;
                } else if (unit >= 0xDC00 && unit <= 0xDFFF && high) {
                    AppendUtf8(out, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
                    high = 0;
                } else {
                    AppendUtf8(out, unit);
                }
                break;
            }
            default:
                out.push_back(e);  // \" \\ \/
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::string> SteamLibraryPaths(std::string_view vdf) {
    std::vector<std::string> paths;
    forEachVdfPair(vdf, [&](const std::string& key, const std::string& value, int depth) {
        const bool current = EqualsNoCase(key, "path");
        const bool older = depth == 1 && allDigits(key);
        if ((current || older) && !value.empty()) paths.push_back(value);
    });
    return paths;
}

std::optional<SteamAppManifest> ParseSteamAppManifest(std::string_view acf) {
    SteamAppManifest manifest;
    forEachVdfPair(acf, [&](const std::string& key, const std::string& value, int depth) {
        if (depth != 1) return;
        if (manifest.appId.empty() && EqualsNoCase(key, "appid") && allDigits(value)) {
            manifest.appId = value;
        } else if (manifest.installDir.empty() && EqualsNoCase(key, "installdir")) {
            manifest.installDir = value;
        }
    });
    if (manifest.appId.empty() || manifest.installDir.empty()) return std::nullopt;
    return manifest;
}

std::vector<std::string> LutrisGameDirectories(std::string_view yml) {
    std::string prefix, exe;
    std::size_t at = 0;
    while (at < yml.size()) {
        std::size_t end = yml.find('\n', at);
        if (end == std::string_view::npos) end = yml.size();
        const std::string_view line = trimmed(yml.substr(at, end - at));
        at = end + 1;
        if (prefix.empty() && line.starts_with("prefix:")) prefix = yamlScalar(line.substr(7));
        if (exe.empty() && line.starts_with("exe:")) exe = yamlScalar(line.substr(4));
    }
    std::vector<std::string> directories;
    const fs::path prefixPath = PathFromUtf8(prefix);
    if (prefixPath.is_absolute()) directories.push_back(prefix);
    fs::path exePath = PathFromUtf8(exe);
    if (!exe.empty() && exePath.is_relative() && prefixPath.is_absolute()) {
        exePath = prefixPath / exePath;  // a game path relative to its prefix
    }
    if (exePath.is_absolute() && exePath.has_parent_path()) {
        directories.push_back(Utf8FromPath(exePath.parent_path()));
    }
    return directories;
}

std::vector<std::string> HeroicWinePrefixes(std::string_view json) {
    std::vector<std::string> prefixes;
    constexpr std::string_view kKey = "\"winePrefix\"";
    for (std::size_t at = json.find(kKey); at != std::string_view::npos; at = json.find(kKey, at)) {
        at += kKey.size();
        while (at < json.size() && isBlank(json[at])) ++at;
        if (at >= json.size() || json[at] != ':') continue;
        ++at;
        while (at < json.size() && isBlank(json[at])) ++at;
        if (auto prefix = jsonString(json, at); prefix && !prefix->empty()) {
            prefixes.push_back(std::move(*prefix));
        }
    }
    return prefixes;
}

std::optional<std::string> ReadSmallTextFile(const fs::path& path, std::uintmax_t limit) {
    std::error_code error;
    // Only a regular file is opened: a named pipe would block the reader.
    if (!fs::is_regular_file(path, error)) return std::nullopt;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size > limit) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return text;
}

}  // namespace kloxmere
