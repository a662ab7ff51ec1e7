#include "app/Session.h"

#include <array>

#include "archive/modHPIUtil.h"
#include "base/Environment.h"
#include "base/FileSystem.h"

namespace kloxmere {

TADirectoryNotFound::TADirectoryNotFound() : std::runtime_error(kTADirectoryMissingMessage) {}

Session::Session(PlatformServices& services, std::string userDataDirectory,
                 std::string programDirectory)
    : services(services),
      userDataDirectory(std::move(userDataDirectory)),
      programDirectory(std::move(programDirectory)) {}

namespace {

std::string withSeparator(std::string directory) {
    if (!directory.empty() && !IsSeparator(directory.back())) directory += NativeSeparator();
    return directory;
}

// The directory the user chose (the chooser's or the picker's): kept, and
// stored with the settings as the user's choice.
std::string adoptChosen(Session& session, std::string chosen) {
    session.TADirectory = withSeparator(std::move(chosen));
    session.TADirectoryPicked = true;
    return session.TADirectory;
}

}  // namespace

TADirectoryLookup LookUpTADirectory() {
    TADirectoryLookup lookup;
    std::array<char, 256> buffer{};
    GetTADirectory(buffer);
    lookup.directory = withSeparator(BytesToString(buffer));
    if (lookup.directory.size() == 1 && IsSeparator(lookup.directory[0])) lookup.directory.clear();
    if (lookup.directory.empty()) lookup.found = DiscoverInstallations();
    return lookup;
}

std::string LocateTADirectory(Session& session) {
    if (!session.TADirectory.empty()) return session.TADirectory;

    // The directory the user picked in an earlier run comes after the
    // override and before the registry; one that is gone is asked for again
    // rather than scanned as an empty installation.
    if (EnvironmentValue("KLOXMERE_TA_DIR").empty() && !session.StoredTADirectory.empty() &&
        IsExistingDirectory(PathFromUtf8(session.StoredTADirectory))) {
        session.TADirectory = withSeparator(session.StoredTADirectory);
        return session.TADirectory;
    }

    const TADirectoryLookup lookup = LookUpTADirectory();
    if (!lookup.directory.empty()) {
        session.TADirectory = lookup.directory;
        return lookup.directory;
    }
    if (lookup.found.size() == 1) {
        session.TADirectory = withSeparator(lookup.found.front().directory);
        return session.TADirectory;
    }
    if (lookup.found.size() > 1) {
        std::vector<InstallationChoice> choices;
        for (const FoundInstallation& found : lookup.found) {
            choices.push_back({found.directory, found.archives, found.source});
        }
        const InstallationAnswer answer = session.services.ChooseInstallation(choices);
        if (answer.kind == InstallationAnswer::Cancelled) throw TADirectoryNotFound();
        if (answer.kind == InstallationAnswer::Chosen && answer.index < choices.size()) {
            return adoptChosen(session, choices[answer.index].directory);
        }
        // "Other...": the picker, without the message that nothing was found.
    } else {
        session.services.ShowMessage(kTADirectoryMissingMessage, kApplicationTitle,
                                     MessageIcon::Information);
    }
    std::string picked = session.services.PickDirectory();
    if (picked.empty()) throw TADirectoryNotFound();
    return adoptChosen(session, std::move(picked));
}

}  // namespace kloxmere
