#pragma once

// The text conventions of the game's definition files (units\*.fbi,
// weapons\*.tdf, download\*.tdf): 8-bit Windows-1252 lines of the form
// key=value; with any mix of line ends.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/CompactText.h"

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

struct DefinitionLine {
    std::string_view key;    // before the first "=", blanks trimmed; empty without "="
    std::string_view value;  // after the first "=" up to the first ";", blanks trimmed
};

// One line of definition text as CleanLine makes it (NUL and tab characters
// removed, blanks trimmed at both ends), with the places of the characters
// the readers look for, all found in the one pass that found the line's end.
struct CleanedLine {
    static constexpr std::size_t npos = std::string_view::npos;

    std::string_view text;
    std::size_t equals = npos;        // the first "="
    std::size_t semicolon = npos;     // the first ";"
    std::size_t closeBracket = npos;  // the first "]"
    bool hasCloseBrace = false;       // a "}" anywhere

    // The key and value of the line, as SplitDefinitionLine gives them.
    DefinitionLine split() const;
};

namespace detail {
// Fills `line` from `raw` (one line, its end excluded) when the line holds a
// NUL or tab between its first and last other character: the cleaned copy
// goes to `scratch`.
void CleanInnerControls(std::string_view raw, std::string& scratch, CleanedLine& line);
}  // namespace detail

// Calls `fn(const CleanedLine&)` for every line of `text` (line ends as in
// ForEachLine). Each character is looked at once; a line is copied only when
// a NUL or tab stands inside it rather than at its ends.
template <class Fn>
void ForEachCleanedLine(std::string_view text, Fn&& fn) {
    // Characters that end a line or that a reader looks for; 2 marks NUL and tab.
    static constexpr auto kSpecial = [] {
        std::array<std::uint8_t, 256> table{};
        for (unsigned char c : std::string_view("\r\n=;]}", 6)) table[c] = 1;
        table[0] = table['\t'] = 2;
        return table;
    }();
    std::string scratch;
    const char* data = text.data();
    const std::size_t size = text.size();
    std::size_t start = 0;
    while (start < size) {
        std::size_t equals = CleanedLine::npos, semicolon = CleanedLine::npos;
        std::size_t closeBracket = CleanedLine::npos;
        bool brace = false, controls = false;
        std::size_t end = start;
        for (; end < size; ++end) {
            const std::uint8_t kind = kSpecial[static_cast<unsigned char>(data[end])];
            if (kind == 0) continue;
            const char c = data[end];
            if (c == '\r' || c == '\n') break;
            if (kind == 2) {
                controls = true;
            } else if (c == '=') {
                if (equals == CleanedLine::npos) equals = end;
            } else if (c == ';') {
                if (semicolon == CleanedLine::npos) semicolon = end;
            } else if (c == ']') {
                if (closeBracket == CleanedLine::npos) closeBracket = end;
            } else {
                brace = true;
            }
        }
        // Trim blanks, and NUL and tab characters, at both ends: CleanLine
        // drops those anyway. What is left holds no more of them unless
        // `controls` says some may stand inside.
        std::size_t first = start, last = end;
        auto isEdge = [](char c) { return c == ' ' || c == '\t' || c == '\0'; };
        while (first < last && isEdge(data[first])) ++first;
        while (last > first && isEdge(data[last - 1])) --last;
        CleanedLine line;
        line.hasCloseBrace = brace;
        bool inner = false;
        if (controls) {
            for (std::size_t i = first; i < last && !inner; ++i)
                inner = kSpecial[static_cast<unsigned char>(data[i])] == 2;
        }
        if (inner) {
            detail::CleanInnerControls(text.substr(first, last - first), scratch, line);
        } else {
            line.text = text.substr(first, last - first);
            auto relative = [first](std::size_t at) {
                return at == CleanedLine::npos ? at : at - first;
            };
            line.equals = relative(equals);
            line.semicolon = relative(semicolon);
            line.closeBracket = relative(closeBracket);
        }
        fn(static_cast<const CleanedLine&>(line));
        if (end == size) return;
        start = end + 1;
        if (data[end] == '\r' && start < size && data[start] == '\n') ++start;
    }
}

// The bytes of a definition file as the characters the readers scan. The
// readers work on the file's own Windows-1252 bytes: every character they look
// for is ASCII, which that code page shares with UTF-8, so only the values
// they keep need decoding.
inline std::string_view AsChars(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Stores the Windows-1252 text `bytes` in `out` as UTF-8.
void AssignWindows1252(CompactText& out, std::string_view bytes);

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
