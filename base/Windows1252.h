#pragma once

// The Windows-1252 code page of the game's text files, fast-load lists, the
// unit groups file and schemas. Inside the program strings are UTF-8.
//
// Decoding uses the complete table: the five unassigned bytes 0x81, 0x8D,
// 0x8F, 0x90 and 0x9D map to the control characters of the same number, so
// every byte string survives a decode/encode round trip. Encoding writes "?"
// for a character that has no Windows-1252 byte (and for malformed UTF-8).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kloxmere {

std::string DecodeWindows1252(std::string_view bytes);
std::string DecodeWindows1252(std::span<const std::uint8_t> bytes);
std::string EncodeWindows1252(std::string_view utf8);

// True when every character of `utf8` has a Windows-1252 byte.
bool IsWindows1252Encodable(std::string_view utf8);

}  // namespace kloxmere
