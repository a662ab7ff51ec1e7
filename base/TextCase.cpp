#include "base/TextCase.h"

#include "base/Utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace kloxmere {
namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Up to eight bytes as one number, zeros after `count`. Every use works byte
// by byte within the word, so the processor's byte order does not matter.
std::uint64_t loadWord(const char* bytes, std::size_t count) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, count);
    return word;
}

// Eight ASCII bytes with A-Z made a-z, all at once: a byte's top bit is set
// by the additions when it is at least "A" and not above "Z". Bytes below
// 0x80 cannot carry into their neighbours.
std::uint64_t lowerAsciiWord(std::uint64_t word) {
    std::uint64_t atLeastA = word + kOnes * (0x80 - 'A');
    std::uint64_t aboveZ = word + kOnes * (0x80 - 'Z' - 1);
    return word | (((atLeastA & ~aboveZ) & kHighBits) >> 2);
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
    // Eight bytes a step, each word folded (ASCII) and multiplied in; the
    // last steps spread the high bits down, since callers mask the low ones.
    // Only ever kept in memory: the values may change between versions.
    constexpr std::uint64_t kMultiplier = 0x9e3779b97f4a7c15ULL;
    auto hashWords = [](std::string_view bytes, bool lower, std::uint64_t& highBits) {
        std::uint64_t hash = kMultiplier ^ bytes.size();
        for (std::size_t i = 0; i < bytes.size(); i += 8) {
            std::uint64_t word =
                loadWord(bytes.data() + i, std::min<std::size_t>(8, bytes.size() - i));
            highBits |= word;
            hash = (hash ^ (lower ? lowerAsciiWord(word) : word)) * kMultiplier;
            hash ^= hash >> 29;
        }
        hash *= kMultiplier;
        return static_cast<std::size_t>(hash ^ (hash >> 32));
    };
    // Hashed as ASCII in the same pass that finds out whether it is; the
    // rare other text is folded and hashed again.
    std::uint64_t highBits = 0;
    std::size_t hash = hashWords(text, true, highBits);
    if ((highBits & kHighBits) == 0) return hash;
    return hashWords(FoldCase(text), false, highBits);
}

bool IsAscii(std::string_view text) {
    std::uint64_t any = 0;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) any |= loadWord(text.data() + i, 8);
    if (i < text.size()) any |= loadWord(text.data() + i, text.size() - i);
    return (any & kHighBits) == 0;
}

std::string FoldCase(std::string_view text) {
    return LowerCase(text);
}
void AppendFolded(std::string& to, std::string_view text) {
    if (!IsAscii(text)) {
        to += FoldCase(text);
        return;
    }
    const std::size_t start = to.size();
    to += text;
    for (std::size_t i = start; i < to.size(); ++i) to[i] = AsciiLower(to[i]);
}
std::string LowerCase(std::string_view text) {
    return mapCase(text, AsciiLower, lowerCodePoint);
}
std::string UpperCase(std::string_view text) {
    return mapCase(text, asciiUpper, upperCodePoint);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    // Folding keeps each character's length in bytes, so texts of two
    // lengths differ; equal-length ASCII texts compare word by word, and
    // a byte above 0x7F on either side sends both through FoldCase.
    if (a.size() != b.size()) return !IsAscii(a) && !IsAscii(b) && FoldCase(a) == FoldCase(b);
    for (std::size_t i = 0; i < a.size(); i += 8) {
        std::size_t count = std::min<std::size_t>(8, a.size() - i);
        std::uint64_t x = loadWord(a.data() + i, count), y = loadWord(b.data() + i, count);
        if (((x | y) & kHighBits) != 0) return FoldCase(a) == FoldCase(b);
        if (lowerAsciiWord(x) != lowerAsciiWord(y)) return false;
    }
    return true;
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
            char x = AsciiLower(a[i]), y = AsciiLower(b[i]);
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
