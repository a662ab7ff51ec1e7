#include "base/TextCase.h"

#include "base/Utf8.h"

#include <algorithm>
#include <cstdint>

namespace kloxmere {
namespace {

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// The character at text[i], moving i past it. A malformed byte yields
// 0xDC00 plus its value, so that it survives case mapping unchanged.
char32_t nextCodePoint(std::string_view text, std::size_t& i) {
    unsigned char first = static_cast<unsigned char>(text[i]);
    std::optional<char32_t> cp = NextUtf8(text, i);
    return cp ? *cp : 0xDC00 + first;
}

void appendCodePoint(std::string& out, char32_t cp) {
    if (cp >= 0xDC80 && cp <= 0xDCFF) {  // a lone byte from nextCodePoint
        out.push_back(static_cast<char>(cp - 0xDC00));
    } else {
        AppendUtf8(out, cp);
    }
}

char32_t lowerCodePoint(char32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 32;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 0x20;
    switch (cp) {
        case 0x160:
            return 0x161;  // Š
        case 0x152:
            return 0x153;  // Œ
        case 0x17D:
            return 0x17E;  // Ž
        case 0x178:
            return 0xFF;  // Ÿ
        default:
            return cp;
    }
}

char32_t upperCodePoint(char32_t cp) {
    if (cp >= 'a' && cp <= 'z') return cp - 32;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 0x20;
    switch (cp) {
        case 0x161:
            return 0x160;
        case 0x153:
            return 0x152;
        case 0x17E:
            return 0x17D;
        case 0xFF:
            return 0x178;
        default:
            return cp;
    }
}

template <class Map>
std::string mapCase(std::string_view text, char (*ascii)(char), Map map) {
    std::string out;
    out.reserve(text.size());
    if (IsAscii(text)) {
        for (char c : text) out.push_back(ascii(c));
        return out;
    }
    for (std::size_t i = 0; i < text.size();) appendCodePoint(out, map(nextCodePoint(text, i)));
    return out;
}

}  // namespace

std::size_t HashNoCase(std::string_view text) {
    auto hashBytes = [](std::string_view bytes) {
        std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
        for (char c : bytes) {
            hash ^= static_cast<unsigned char>(asciiLower(c));
            hash *= 1099511628211ull;
        }
        return static_cast<std::size_t>(hash);
    };
    return IsAscii(text) ? hashBytes(text) : hashBytes(FoldCase(text));
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string FoldCase(std::string_view text) {
    return LowerCase(text);
}
std::string LowerCase(std::string_view text) {
    return mapCase(text, asciiLower, lowerCodePoint);
}
std::string UpperCase(std::string_view text) {
    return mapCase(text, asciiUpper, upperCodePoint);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(),
                          [](char x, char y) { return asciiLower(x) == asciiLower(y); });
    }
    return FoldCase(a) == FoldCase(b);
}

bool ContainsNoCase(std::string_view haystack, std::string_view needle) {
    return FoldCase(haystack).find(FoldCase(needle)) != std::string::npos;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

bool LessNoCase(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) {
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
            char x = asciiLower(a[i]), y = asciiLower(b[i]);
            if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        }
        if (a.size() != b.size()) return a.size() < b.size();
        return a < b;
    }
    std::string fa = FoldCase(a), fb = FoldCase(b);
    if (fa != fb) return fa < fb;
    return a < b;
}

std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) nextCodePoint(text, i);
    return count;
}

std::string_view LastCharacters(std::string_view text, std::size_t count) {
    std::size_t total = CharacterCount(text);
    if (count >= total) return text;
    std::size_t i = 0;
    for (std::size_t skip = total - count; skip > 0; --skip) nextCodePoint(text, i);
    return text.substr(i);
}

}  // namespace kloxmere
