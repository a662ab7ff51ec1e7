#include "base/Windows1252.h"

#include "base/TextCase.h"

#include <algorithm>
#include <array>

namespace kloxmere {
namespace {

// Code points of the bytes 0x80..0x9F; the rest of the page equals Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char32_t codePointOf(std::uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
    return byte;
}

// The byte of a code point, or -1 when Windows-1252 has none.
int byteOf(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == cp) return static_cast<int>(0x80 + i);
    }
    return -1;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 character at utf8[i], advancing i; -1 for malformed input.
long nextCodePoint(std::string_view utf8, std::size_t& i) {
    auto b0 = static_cast<unsigned char>(utf8[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int length = (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || i + static_cast<std::size_t>(length) > utf8.size()) {
        ++i;
        return -1;
    }
    long cp = b0 & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        auto b = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return -1;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += static_cast<std::size_t>(length);
    return cp;
}

}  // namespace

std::string DecodeWindows1252(std::string_view bytes) {
    if (IsAscii(bytes)) return std::string(bytes);  // the common case: nothing to decode
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        auto byte = static_cast<std::uint8_t>(c);
        if (byte < 0x80) {
            out.push_back(c);
        } else {
            appendUtf8(out, codePointOf(byte));
        }
    }
    return out;
}

std::string DecodeWindows1252(std::span<const std::uint8_t> bytes) {
    return DecodeWindows1252(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string EncodeWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        long cp = nextCodePoint(utf8, i);
        int byte = cp < 0 ? -1 : byteOf(static_cast<char32_t>(cp));
        out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return out;
}

bool IsWindows1252Encodable(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        long cp = nextCodePoint(utf8, i);
        if (cp < 0 || byteOf(static_cast<char32_t>(cp)) < 0) return false;
    }
    return true;
}

std::uint8_t FoldWindows1252Byte(std::uint8_t byte) {
    if (byte >= 'A' && byte <= 'Z') return byte + 32;
    if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7) return byte + 0x20;
    switch (byte) {
        case 0x8A:
            return 0x9A;  // Š
        case 0x8C:
            return 0x9C;  // Œ
        case 0x8E:
            return 0x9E;  // Ž
        case 0x9F:
            return 0xFF;  // Ÿ
        default:
            return byte;
    }
}

}  // namespace kloxmere
