#pragma once

// The file association on freedesktop.org desktops (Linux and the BSDs):
//
//   $XDG_DATA_HOME/mime/packages/kloxmere.xml   the MIME type of the extension
//   $XDG_DATA_HOME/applications/kloxmere.desktop the program, opening one file
//   $XDG_CONFIG_HOME/mimeapps.list              the program as the type's default
//
// Each file is rewritten only when its content differs, through a temporary
// file renamed over it; mimeapps.list keeps every other entry. The MIME and
// desktop databases are rebuilt (update-mime-database,
// update-desktop-database) only when their file changed and the tool exists.
//
// The text generators serve the installed package's files too.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kloxmere {

struct FileTypeRegistration;

inline constexpr const char* kDesktopFileName = "kloxmere.desktop";
inline constexpr const char* kMimePackageFileName = "kloxmere.xml";
inline constexpr const char* kIconName = "kloxmere";

// $XDG_DATA_HOME and $XDG_CONFIG_HOME, or ~/.local/share and ~/.config when
// they are unset, empty or not absolute. Nothing without a home directory.
struct XdgPlaces {
    std::filesystem::path dataHome;
    std::filesystem::path configHome;
};
std::optional<XdgPlaces> XdgPlacesFromEnvironment();

// "application/x-kloxmere-uls" for the type name Kloxmere and the extension .uls.
std::string XdgMimeType(std::string_view typeName, std::string_view extension);

// The shared-mime-info package that gives files matching *`extension` the
// type `mimeType`, described by `comment`.
std::string XdgMimePackage(std::string_view mimeType, std::string_view extension,
                           std::string_view comment);

// The desktop entry named `name` that starts `programPath` with one file.
std::string XdgDesktopEntry(std::string_view name, std::string_view programPath,
                            std::string_view mimeType, std::string_view icon);

// `argument` as one argument of a desktop entry's Exec line, quoted where it
// needs to be and escaped as the key's string value.
std::string DesktopExecArgument(std::string_view argument);

// `mimeApps` (the text of a mimeapps.list, maybe empty) with `desktopFile` as
// the default application of `mimeType`; every other line stays as it was.
std::string MimeAppsWithDefault(std::string_view mimeApps, std::string_view mimeType,
                                std::string_view desktopFile);

enum class FileUpdate { Unchanged, Written, Failed };

// Replaces `path` by `content` unless it already holds exactly that; creates
// the directory. A symbolic link is followed, so the file it names changes.
FileUpdate WriteFileIfDifferent(const std::filesystem::path& path, std::string_view content);

// Runs `tool` on `directory` when it can be found on PATH; the answer is not
// looked at.
using ToolRunner = std::function<void(const std::string& tool, const std::string& directory)>;
void RunToolIfPresent(const std::string& tool, const std::string& directory);

// Writes the three files for `registration` under `places` in order, stopping
// at the first that cannot be written, then rebuilds the databases whose file
// changed. True when all three hold their content.
bool WriteXdgAssociation(const FileTypeRegistration& registration, const XdgPlaces& places,
                         const ToolRunner& run = RunToolIfPresent);

}  // namespace kloxmere
