#include "app/modRegistry.h"

#include "base/TextCase.h"

namespace kloxmere {

namespace {

bool isBlank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

}  // namespace

FileTypeRegistration FileTypeArguments(std::string extension, std::string programPath,
                                       std::string iconPath, std::string typeName,
                                       std::string description) {
    FileTypeRegistration r;
    r.extension = extension.find('.') == std::string::npos ? "." + extension : extension;
    r.iconPath = isBlank(iconPath) ? programPath : iconPath;
    const std::string upper = UpperCase(r.iconPath);
    if (upper.ends_with(".EXE") || upper.ends_with(".DLL")) r.iconPath += ",0";
    r.typeName = typeName.empty() ? "Reg.Application" : typeName;
    r.description = description.empty() ? "RegDescription" : description;
    r.openCommand = programPath + " %1";
    r.programPath = std::move(programPath);
    return r;
}

std::vector<RegistryEntry> RegistryEntries(const FileTypeRegistration& r) {
    return {
        {r.extension, r.typeName},
        {r.typeName, r.description},
        {r.typeName + "\\DefaultIcon", r.iconPath},
        {r.typeName + "\\shell\\open\\command", r.openCommand},
    };
}

bool RegisterFileType(std::string extension, std::string programPath, std::string iconPath,
                      std::string typeName, std::string description) {
    return WriteFileAssociation(FileTypeArguments(std::move(extension), std::move(programPath),
                                                  std::move(iconPath), std::move(typeName),
                                                  std::move(description)));
}

}  // namespace kloxmere
