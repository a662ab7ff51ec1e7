#include "app/Session.h"

#include <array>

#include "archive/modHPIUtil.h"
#include "base/FileSystem.h"

namespace kloxmere {

TADirectoryNotFound::TADirectoryNotFound() : std::runtime_error(kTADirectoryMissingMessage) {}

Session::Session(PlatformServices& services, std::string userDataDirectory,
                 std::string programDirectory)
    : services(services),
      userDataDirectory(std::move(userDataDirectory)),
      programDirectory(std::move(programDirectory)) {}

std::string LocateTADirectory(Session& session) {
    if (!session.TADirectory.empty()) return session.TADirectory;

    std::array<char, 256> buffer{};
    GetTADirectory(buffer);
    std::string directory = BytesToString(buffer);
    if (!directory.empty() && !IsSeparator(directory.back())) directory += NativeSeparator();
    if (directory.size() == 1 && IsSeparator(directory[0])) directory.clear();
    if (!directory.empty()) {
        session.TADirectory = directory;
        return directory;
    }

    session.services.ShowMessage(kTADirectoryMissingMessage, kApplicationTitle,
                                 MessageIcon::Information);
    std::string picked = session.services.PickDirectory();
    if (picked.empty()) throw TADirectoryNotFound();
    if (!IsSeparator(picked.back())) picked += NativeSeparator();
    session.TADirectory = picked;
    return picked;
}

}  // namespace kloxmere
