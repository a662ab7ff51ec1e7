#pragma once

// Small string and file utilities shared by the whole program.

#include <string>
#include <string_view>
#include <vector>

namespace kloxmere {

class ByteReader;
class DirectoryNames;
class ByteWriter;

// The text before the last "\" or "/" of `path`; `path` itself when it holds neither.
std::string FilePath(std::string_view path);

// The text after the last "\" or "/" of `path`; `path` itself when it holds
// neither; empty when `path` ends in a separator.
std::string FileTitle(std::string_view path);

// A zero-terminated Windows-1252 string from the stream, decoded to UTF-8.
// Stops at the end of the data as well (the reader's hitEnd() then tells).
std::string ReadZString(ByteReader& reader);

// Writes `text` as Windows-1252 bytes ("?" for characters without one) and a 0 byte.
void WriteZString(ByteWriter& writer, std::string_view text);

// Appends to `list` the full path of every normal file of `directory` whose
// name matches `pattern` ("*" and "?" wildcards, without regard to case),
// sorted without regard to case. Appends the native separator to `directory`
// when it ends in none. Nothing is appended when the directory holds no normal
// file at all, or cannot be read.
void FindFiles(std::string& directory, std::vector<std::string>& list, std::string_view pattern);
// The same over a directory listed once, for several patterns in a row.
void FindFiles(const DirectoryNames& directory, std::vector<std::string>& list,
               std::string_view pattern);

// Whether `name` matches a "*"/"?" wildcard pattern, without regard to case.
bool MatchesPattern(std::string_view name, std::string_view pattern);

// The first character in upper case, the rest in lower case: ARM gives Arm.
std::string ProperCase(std::string_view text);

// Removes every NUL and tab character, then the blanks at both ends.
std::string CleanLine(std::string_view line);

}  // namespace kloxmere
