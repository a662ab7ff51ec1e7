#include "app/Manual.h"

#include <filesystem>
#include <system_error>

#include "base/FileSystem.h"

namespace kloxmere {

namespace fs = std::filesystem;

std::string FindManual(const std::string& executableDirectory) {
    const fs::path executable = PathFromUtf8(executableDirectory);
    const fs::path candidates[] = {
        (executable / ".." / "share" / "doc" / "kloxmere" / kManualFileName).lexically_normal(),
        executable / kManualFileName,
    };
    for (const fs::path& candidate : candidates) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return Utf8FromPath(candidate);
    }
    return {};
}

}  // namespace kloxmere
