#pragma once

// The handle on one archive file of the TA directory: opens it, lists chosen
// directories, extracts files and switches the archive between its enabled
// and disabled ("x") name. Records keep a pointer to the handle of the archive
// they came from and reopen it by name when they need its files again.
//
// A handle never closes implicitly (not on destruction, not in LoadFile):
// callers close what they open.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kloxmere {

class clsHPI {
  public:
    std::string Filename;              // full path of the archive file
    std::int32_t Handle = 0;           // open-archive handle; 0 = not open
    std::vector<std::string> Listing;  // inner paths "dir\name" built by CreateListing

    // Opens `HPIFilename`; an empty name reopens the current Filename. Resets
    // Filename and Listing first; a handle still open is not closed.
    void LoadFile(const std::string& HPIFilename);
    void CloseFile();

    // Appends to Listing, for each directory of `Filters` in order, the direct
    // file entries whose name holds a "." (sub-directories are left out, also
    // one whose name holds a dot).
    void CreateListing(const std::vector<std::string>& Filters);

    // Extracts `SrcFilename` to the file `DstFilename`: true when extracted,
    // false when refused, nullopt (the empty value) when no archive is open.
    std::optional<bool> ExtractFile(const std::string& SrcFilename,
                                    const std::string& DstFilename) const;

    // The bytes of `SrcFilename`, or nullopt when no archive is open or the
    // extraction failed.
    std::optional<std::vector<std::uint8_t>> ExtractToMemory(const std::string& SrcFilename) const;

    // False when the fourth character from the end of Filename is "x" (any case).
    bool Enabled() const;

    // Renames the archive to its enabled or "x" form (the name before its first
    // dot, ".", "x" when disabling, and the last three characters) and keeps
    // the new name. The rename never replaces an existing file; when it fails,
    // the file and Filename stay as they were. Returns whether the file now
    // carries the new name; `reason` says why not. A name without a dot does nothing.
    bool SetEnabled(bool Value, std::string* reason = nullptr);
};

}  // namespace kloxmere
