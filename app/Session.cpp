#include "app/Session.h"

#include <array>
#include <filesystem>
#include <system_error>

#include "archive/modHPIUtil.h"
#include "base/FileSystem.h"

namespace kloxmere {

namespace {

bool IsExistingDirectory(const std::string& directory) {
    std::error_code error;
    return std::filesystem::is_directory(PathFromUtf8(directory), error);
}

}  // namespace

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

    // A directory the user picked in an earlier run; one that is gone is
    // asked for again rather than scanned as an empty installation.
    std::string stored = session.StoredTADirectory;
    if (!stored.empty() && IsExistingDirectory(stored)) {
        if (!IsSeparator(stored.back())) stored += NativeSeparator();
        session.TADirectory = stored;
        return stored;
    }

    session.services.ShowMessage(kTADirectoryMissingMessage, kApplicationTitle,
                                 MessageIcon::Information);
    std::string picked = session.services.PickDirectory();
    if (picked.empty()) throw TADirectoryNotFound();
    if (!IsSeparator(picked.back())) picked += NativeSeparator();
    session.TADirectory = picked;
    session.TADirectoryPicked = true;
    return picked;
}

}  // namespace kloxmere
