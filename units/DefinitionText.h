#pragma once

// The text conventions of the game's definition files (units\*.fbi,
// weapons\*.tdf, download\*.tdf): 8-bit Windows-1252 lines of the form
// key=value; with any mix of line ends.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kloxmere {

// Calls `fn(line)` for every line of `text`. CR LF, a lone LF and a lone CR
// each end a line; the last line may end at the end of the text.
template <class Fn>
void ForEachLine(std::string_view text, Fn&& fn) {
    // A plain loop: find_first_of would search the set once per character.
    const char* data = text.data();
    std::size_t size = text.size(), start = 0;
    while (start < size) {
        std::size_t end = start;
        while (end < size && data[end] != '\r' && data[end] != '\n') ++end;
        fn(text.substr(start, end - start));
        if (end == size) return;
        start = end + 1;
        if (data[end] == '\r' && start < size && data[start] == '\n') ++start;
    }
}

// The line as CleanLine makes it (NUL and tab characters removed, blanks
// trimmed at both ends), without copying when the line holds neither NUL nor
// tab; `scratch` holds the cleaned copy otherwise. The result lives as long
// as `line` and `scratch` do.
std::string_view CleanLineView(std::string_view line, std::string& scratch);

// Calls `fn(cleanedLine)` for every line of `text`, cleaned like CleanLine.
template <class Fn>
void ForEachCleanLine(std::string_view text, Fn&& fn) {
    std::string scratch;
    ForEachLine(text, [&](std::string_view raw) { fn(CleanLineView(raw, scratch)); });
}

struct DefinitionLine {
    std::string_view key;    // before the first "=", blanks trimmed; empty without "="
    std::string_view value;  // after the first "=" up to the first ";", blanks trimmed
};

// Splits a cleaned line (see CleanLine) into key and value. A line whose first
// ";" stands before its first "=" keeps the ";" in its key, so it matches no key.
DefinitionLine SplitDefinitionLine(std::string_view line);

// The leading number of `text` the way the game's tools read numbers (blanks
// skipped, optional sign, digits, fraction and exponent; 0 when there is
// none), rounded half to even; nullopt when it does not fit 32 bits.
std::optional<std::int32_t> LeadingInteger(std::string_view text);

// Removes one leading tab, then the blanks at both ends (a second tab stays).
std::string RemovePreBlanks(std::string_view line);

}  // namespace kloxmere
