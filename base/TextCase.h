#pragma once

// Letter case for the program's UTF-8 strings. The game's text is Windows-1252,
// so case is folded for ASCII and for the letters Windows-1252 holds (Latin-1
// letters plus Š, Œ, Ž and Ÿ); every other character compares as itself.

#include <string>
#include <string_view>

namespace kloxmere {

std::string FoldCase(std::string_view text);  // lower case, for comparing and hashing
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

bool EqualsNoCase(std::string_view a, std::string_view b);

// A hash that agrees with EqualsNoCase: equal strings without regard to case
// hash alike. ASCII text is hashed without a copy.
std::size_t HashNoCase(std::string_view text);

// Hash and equality functors without regard to case, for unordered
// containers of strings; both accept std::string_view lookups.
struct NoCaseHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return HashNoCase(text); }
};
struct NoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }
};

// A text with its HashNoCase worked out once, for callers that look the same
// name up in several places. The text is a view.
struct HashedName {
    std::string_view text;
    std::size_t hash;

    explicit HashedName(std::string_view name) : text(name), hash(HashNoCase(name)) {}
};

// True when every byte is below 0x80.
bool IsAscii(std::string_view text);

inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// FoldCase(text) added to `to`: ASCII text is folded in place, without a
// copy, for callers that fold many strings into one reused buffer.
void AppendFolded(std::string& to, std::string_view text);

// Whether `text` equals `lowerAscii` (lower-case ASCII) without regard to
// case: the fast comparison for the fixed keys of the game's files.
inline bool EqualsAsciiNoCase(std::string_view text, std::string_view lowerAscii) {
    if (text.size() != lowerAscii.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (AsciiLower(text[i]) != lowerAscii[i]) return false;
    }
    return true;
}
bool ContainsNoCase(std::string_view haystack, std::string_view needle);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

// Orders names the way an NTFS directory lists them: by folded text, ties by the raw bytes.
bool LessNoCase(std::string_view a, std::string_view b);

// Number of characters (code points) in a UTF-8 string; malformed bytes count one each.
std::size_t CharacterCount(std::string_view text);
// The last `count` characters of a UTF-8 string (all of it when shorter).
std::string_view LastCharacters(std::string_view text, std::size_t count);

}  // namespace kloxmere
