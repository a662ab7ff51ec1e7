#pragma once

// The archive library calls: open, walk a directory, extract, close, and
// create/add/pack a new archive, with the argument order and results the rest
// of the program relies on. Handles are 32-bit integers; 0 means failure.
// Text crossing these calls is UTF-8 (the library decodes the archives'
// Windows-1252 names). The calls are safe to use from several threads; files
// may be extracted from one handle on several threads at once, while its
// directory walks and its closing belong to one thread at a time.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kloxmere {

// Fills `buffer` (256 bytes, all zero on entry) with the game's installation
// directory as a zero-terminated string, or leaves it empty. KLOXMERE_TA_DIR
// overrides; then the Windows registry, or elsewhere the Wine prefix's
// system.reg. The result is always 0 and callers ignore it.
std::int32_t GetTADirectory(std::span<char, 256> buffer);

// Opens an archive; its handle, or 0 when it cannot be opened.
std::int32_t HPIOpen(const std::string& archivePath);

class HpiArchive;

// Gives an archive opened elsewhere a handle, as HPIOpen would; never 0.
std::int32_t HPIAdopt(std::shared_ptr<HpiArchive> archive);

// Walks the direct entries of the archive directory `dirName` (files and
// sub-directories). `next` is 0 for the first call, then the previous result.
// Returns the next position token, or 0 when there is no further entry; when
// not 0, `nameBuffer` holds the entry's name followed by a 0 byte (it is
// resized to at least 256 bytes). `kind` is 1 for a directory, 0 for a file;
// `size` is a file's size.
std::int32_t HPIDir(std::int32_t handle, std::int32_t next, const std::string& dirName,
                    std::string& nameBuffer, std::int32_t& kind, std::int32_t& size);

// Extracts the file at `innerPath` to `destPath`; 1 on success, 0 on failure.
// The file is decoded in full before the destination is written, and the
// destination replaced only once complete: a failed extraction creates no
// destination file and leaves an existing one as it was.
std::int32_t HPIExtractFile(std::int32_t handle, const std::string& innerPath,
                            const std::string& destPath);

// Extracts the file at `innerPath` into `out`; 1 on success, 0 on failure.
std::int32_t HPIExtractToMemory(std::int32_t handle, const std::string& innerPath,
                                std::vector<std::uint8_t>& out);

// Closes a handle (of HPIOpen, or of HPICreate to abandon an archive being
// built); always 0, which callers store as the new handle value.
std::int32_t HPIClose(std::int32_t handle);

// Progress callback of HPICreate: eight 32-bit arguments, ignored, returns 0.
using HPICallback = std::int32_t (*)(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                     std::int32_t, std::int32_t, std::int32_t, std::int32_t);

// Starts a new archive to be written at `archivePath`; its handle, 0 on
// failure (an empty path, a missing parent directory, a directory at the
// path). Nothing is written before HPIPackArchive. `callback` may be null; it
// is called once the archive is written, with the number of files twice and
// six zeros, and its result is ignored.
std::int32_t HPICreate(const std::string& archivePath, HPICallback callback);

// Reads the file `sourcePath` now and adds it at `innerPath`, zlib-compressed;
// not 0 on success. Fails for an unreadable source, a path already added
// (without regard to case) or a path the archive cannot hold.
std::int32_t HPIAddFile(std::int32_t handle, const std::string& innerPath,
                        const std::string& sourcePath);

// Adds `bytes` at `innerPath` as HPIAddFile adds a file's content, for
// content that is in memory already; not 0 on success.
std::int32_t HPIAddFileFromMemory(std::int32_t handle, const std::string& innerPath,
                                  std::span<const std::uint8_t> bytes);

// Writes the archive started by HPICreate (replacing the file only once it is
// complete) and ends its handle; not 0 on success.
std::int32_t HPIPackArchive(std::int32_t handle, std::int32_t reserved);

// The bytes of `buffer` before its first 0 byte (at most all of it), as a string.
std::string BytesToString(std::span<const char> buffer);

// The part of `text` before its first NUL; without a NUL, `text` with its
// trailing blanks removed.
std::string TrimAtNull(std::string_view text);

}  // namespace kloxmere
