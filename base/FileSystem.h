#pragma once

// File-system operations the program needs beyond <filesystem>: whole-file
// reads, writes that replace a file only when complete, and renames that never
// replace. Paths travel through the program as UTF-8 strings.

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/TextCase.h"

namespace kloxmere {

// A file could not be read or written; the message names the file.
class FileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// The native directory separator: "/" on POSIX, "\" on Windows.
char NativeSeparator();
bool IsSeparator(char c);  // "\" or "/"

// Reads a whole file; throws FileError.
std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path);

// Writes `bytes` to a temporary file beside `target` and renames it over
// `target` once it is complete, so that a failure never leaves a half-written
// or missing target. Throws FileError; the temporary file is removed then.
void WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

// Renames `from` to `to` unless `to` exists: a rename never replaces a file.
// On failure both files stay as they were, false is returned and `reason`
// (when given) says why.
bool RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::string* reason = nullptr);

// Whether `path` is a directory (or a link to one); false when it cannot be
// looked at.
bool IsExistingDirectory(const std::filesystem::path& path);

// A regular file that is not hidden (on POSIX: its name does not start with ".").
bool IsNormalFile(const std::filesystem::path& path);
// The same for an entry met while listing a directory, using the file type
// the listing already carries where the platform gives one (no extra stat).
bool IsNormalFile(const std::filesystem::directory_entry& entry);

// The normal files of one directory, listed once and found by name without
// regard to case (installations copied from Windows mix REV.HPI and rev.hpi).
class DirectoryNames {
  public:
    // Lists `directory` (a UTF-8 path); an unreadable directory holds no names.
    explicit DirectoryNames(std::string directory);

    // The directory as given, ending in a separator.
    const std::string& directory() const { return m_directory; }

    // `name` as spelled on disk: itself when a file of exactly that name
    // exists, else one differing only in case; "" when there is none.
    std::string find(std::string_view name) const;

    // Every name, in the order the directory listed them.
    const std::vector<std::string>& all() const { return m_names; }

  private:
    void addName(std::string name);

    std::string m_directory;
    std::vector<std::string> m_names;
    std::unordered_set<std::string> m_exact;
    std::unordered_map<std::string, std::string, NoCaseHash, NoCaseEqual> m_byName;
};

}  // namespace kloxmere
