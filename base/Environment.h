#pragma once

// Environment variables and the text conversions of the Windows API, whose
// strings are UTF-16 while the program's are UTF-8.

#include <string>
#include <string_view>

namespace kloxmere {

// The value of the environment variable `name` as UTF-8; "" when it is unset.
// On Windows the value is read as wide characters, so that a directory
// outside the ANSI code page survives.
std::string EnvironmentValue(const char* name);

#ifdef _WIN32
// Malformed input is replaced by U+FFFD rather than failing.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
#endif

}  // namespace kloxmere
