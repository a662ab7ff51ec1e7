#include "base/Windows1252.h"

#include "base/TextCase.h"
#include "base/Utf8.h"

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
            AppendUtf8(out, codePointOf(byte));
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
        std::optional<char32_t> cp = NextUtf8(utf8, i);
        int byte = cp ? byteOf(*cp) : -1;
        out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return out;
}

bool IsWindows1252Encodable(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        std::optional<char32_t> cp = NextUtf8(utf8, i);
        if (!cp || byteOf(*cp) < 0) return false;
    }
    return true;
}

}  // namespace kloxmere
