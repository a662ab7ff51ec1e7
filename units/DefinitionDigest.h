#pragma once

// What an archive holds that decides a game, as one number: a digest of the
// bytes of its unit, weapon and build-menu definition files, each by its inner
// path without regard to case. The archive's name, file time and position in
// the TA directory do not enter it, nor the order of its directory, so two
// copies of the same content agree wherever they lie.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kloxmere {

class clsHPI;

// The digest of one definition file's bytes; nullopt (a file that could not
// be extracted) has a digest of its own.
std::uint64_t HashDefinitionFile(std::optional<std::span<const std::uint8_t>> bytes);

// Extracts `path` from the open archive and digests it.
std::uint64_t HashListedFile(const clsHPI& hpi, const std::string& path);

// Collects an archive's definition files and gives their combined digest.
class DefinitionDigest {
  public:
    void add(std::string_view innerPath, std::uint64_t fileHash);
    bool empty() const { return m_files.empty(); }
    // The combined digest: the same for the same paths and bytes in any order.
    std::uint64_t finish();

  private:
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_files;  // folded path's digest, file's
};

// Every definition file of `listing` (an archive's Listing) with its digest
// in `fileHashes` (by Listing position; other positions are not read).
// Nullopt when the archive lists no definition file.
std::optional<std::uint64_t> CombineListedHashes(const std::vector<std::string>& listing,
                                                 const std::vector<std::uint64_t>& fileHashes);

// The directories whose files the catalogue reads.
inline const std::vector<std::string> kDefinitionDirectories = {"units", "weapons", "download"};

// Opens the archive at `path`, lists `listedDirectories` and digests every
// definition file. Nullopt when it lists none (or does not open).
std::optional<std::uint64_t> HashArchiveDefinitions(
    const std::string& path, const std::vector<std::string>& listedDirectories);

}  // namespace kloxmere
