#include "units/modGeneric.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/ByteStream.h"
#include "base/FileSystem.h"
#include "base/TextCase.h"
#include "base/Windows1252.h"

namespace kloxmere {

namespace {

std::size_t lastSeparator(std::string_view path) {
    return path.find_last_of("\\/");
}

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Wildcard match; "?" takes one whole character. `name` and `pattern` are
// folded already, or ASCII compared through `lower`.
template <class Lower>
bool matchWildcards(std::string_view name, std::string_view pattern, Lower lower) {
    std::size_t n = 0, p = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    auto skipChar = [&](std::size_t i) {
        ++i;
        while (i < name.size() && isContinuationByte(name[i])) ++i;
        return i;
    };
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n = skipChar(n);
        } else if (p < pattern.size() && lower(pattern[p]) == lower(name[n])) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = starN = skipChar(starN);
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

std::string FilePath(std::string_view path) {
    std::size_t cut = lastSeparator(path);
    if (cut == std::string_view::npos) return std::string(path);
    return std::string(path.substr(0, cut));
}

std::string FileTitle(std::string_view path) {
    std::size_t cut = lastSeparator(path);
    if (cut == std::string_view::npos) return std::string(path);
    return std::string(path.substr(cut + 1));
}

std::string ReadZString(ByteReader& reader) {
    return DecodeWindows1252(reader.readZBytes());
}

void WriteZString(ByteWriter& writer, std::string_view text) {
    writer.writeBytes(EncodeWindows1252(text));
    writer.writeU8(0);
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    if (IsAscii(name) && IsAscii(pattern)) {  // the usual case, matched without copies
        return matchWildcards(name, pattern, [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        });
    }
    return matchWildcards(FoldCase(name), FoldCase(pattern), [](char c) { return c; });
}

void FindFiles(std::string& directory, std::vector<std::string>& list, std::string_view pattern) {
    if (directory.empty() || !IsSeparator(directory.back())) directory.push_back(NativeSeparator());
    FindFiles(DirectoryNames(directory), list, pattern);
}

void FindFiles(const DirectoryNames& directory, std::vector<std::string>& list,
               std::string_view pattern) {
    std::vector<std::string> names;
    for (const auto& name : directory.all()) {
        if (MatchesPattern(name, pattern)) names.push_back(name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
    for (const auto& name : names) list.push_back(directory.directory() + name);
}

std::string ProperCase(std::string_view text) {
    if (text.empty()) return {};
    std::size_t first = 1;
    while (first < text.size() && isContinuationByte(text[first])) ++first;
    return UpperCase(text.substr(0, first)) + LowerCase(text.substr(first));
}

std::string CleanLine(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (char c : line) {
        if (c != '\0' && c != '\t') out.push_back(c);
    }
    std::size_t begin = out.find_first_not_of(' ');
    if (begin == std::string::npos) return {};
    std::size_t end = out.find_last_not_of(' ');
    return out.substr(begin, end - begin + 1);
}

}  // namespace kloxmere
