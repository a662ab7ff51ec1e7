#include "units/ArchiveNames.h"

#include "base/FileSystem.h"
#include "base/TextCase.h"
#include "units/modGeneric.h"

namespace kloxmere {

namespace {

bool xFollowsDot(const std::string& name, std::size_t dot) {
    return dot != std::string::npos && dot + 1 < name.size() &&
           (name[dot + 1] == 'x' || name[dot + 1] == 'X');
}

}  // namespace

bool IsEnabledName(std::string_view path) {
    std::string name = FileTitle(path);
    return !xFollowsDot(name, name.find('.'));
}

std::string EnabledName(std::string_view path) {
    std::string name = FileTitle(path);
    std::size_t dot = name.find('.');
    if (!xFollowsDot(name, dot)) return name;
    return name.substr(0, dot) + "." + std::string(LastCharacters(name, 3));
}

std::string ToggledName(std::string_view path) {
    std::string name = FileTitle(path);
    std::size_t dot = name.find('.');
    if (dot == std::string::npos) return name;
    std::string extension(LastCharacters(name, 3));
    if (xFollowsDot(name, dot)) return name.substr(0, dot) + "." + extension;
    return name.substr(0, dot) + ".x" + extension;
}

std::vector<std::string> FindArchiveFiles(const DirectoryNames& taDirectory) {
    std::vector<std::string> archives;
    for (const char* pattern : {"*.hpi", "*.xhpi", "*.ccx", "*.xccx", "*.ufo", "*.xufo"}) {
        FindFiles(taDirectory, archives, pattern);
    }
    return archives;
}

}  // namespace kloxmere
