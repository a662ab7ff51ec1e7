#include "cli/CommandGroups.h"

#include "cli/HpiCommands.h"

namespace kloxmere::cli {

std::span<const RegisterCommandGroup> CommandGroups() {
    static constexpr RegisterCommandGroup kGroups[] = {
        RegisterHpiCommands,
    };
    return kGroups;
}

}  // namespace kloxmere::cli
