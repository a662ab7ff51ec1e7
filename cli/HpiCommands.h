#pragma once

// kloxmere-cli hpi list | extract | pack: the game's archives from the
// command line. Each command is a plain function as well, for tests.

#include <cstddef>
#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace kloxmere::cli {

void RegisterHpiCommands(CLI::App& app);

// Prints every file of the archive in directory order: one line per file
// with its inner path ("\" separators), size and compression, separated by
// tabs; or, with `json`, an array of {"path", "size", "compression"}.
void ListArchive(const std::string& archivePath, bool json, std::ostream& out);

// Writes the file at `innerPath` (without regard to case, "/" or "\") to
// `destPath`. Nothing is written unless the whole file was extracted.
void ExtractFromArchive(const std::string& archivePath, const std::string& innerPath,
                        const std::string& destPath);

// Packs every regular file below `sourceDir` into a new zlib archive at
// `archivePath` (the archive itself is left out when it lies inside).
// Returns the number of files packed.
std::size_t PackDirectory(const std::string& archivePath, const std::string& sourceDir);

}  // namespace kloxmere::cli
