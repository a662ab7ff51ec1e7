#include "app/GamePaletteSource.h"

#include "app/Session.h"
#include "archive/HpiArchive.h"
#include "base/FileSystem.h"
#include "units/ArchiveNames.h"

namespace kloxmere {

std::optional<std::vector<std::uint8_t>> FindGamePaletteFile(const std::string& taDirectory) {
    for (const auto& path : FindArchiveFiles(DirectoryNames(taDirectory))) {
        try {
            auto archive = HpiArchive::open(PathFromUtf8(path));
            if (archive->findFile(kGamePalettePath)) return archive->extract(kGamePalettePath);
        } catch (const HpiError&) {
            // A damaged archive holds no palette we could use; the next one may.
        }
    }
    return std::nullopt;
}

GamePalette LoadSessionPalette(const Session& session) {
    return ChooseGamePalette(PathFromUtf8(session.programDirectory),
                             [&]() -> std::optional<std::vector<std::uint8_t>> {
                                 if (session.TADirectory.empty()) return std::nullopt;
                                 return FindGamePaletteFile(session.TADirectory);
                             });
}

}  // namespace kloxmere
