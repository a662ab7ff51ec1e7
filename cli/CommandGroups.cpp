#include "cli/CommandGroups.h"

#include "cli/ArchiveStateCommands.h"
#include "cli/CatalogueCommands.h"
#include "cli/CliSession.h"
#include "cli/ConflictCommands.h"
#include "cli/FingerprintCommand.h"
#include "cli/GroupCommands.h"
#include "cli/HpiCommands.h"
#include "cli/InformationCommands.h"
#include "cli/InstallationCommands.h"
#include "cli/SwitchCommands.h"
#include "cli/ViewerCommands.h"

namespace kloxmere::cli {

std::span<const RegisterCommandGroup> CommandGroups() {
    static constexpr RegisterCommandGroup kGroups[] = {
        RegisterGlobalOptions,        RegisterCatalogueCommands, RegisterArchiveStateCommands,
        RegisterGroupCommands,        RegisterHpiCommands,       RegisterInformationCommands,
        RegisterViewerCommands,       RegisterConflictCommands,  RegisterFingerprintCommand,
        RegisterInstallationCommands, RegisterSwitchCommands,
    };
    return kGroups;
}

}  // namespace kloxmere::cli
