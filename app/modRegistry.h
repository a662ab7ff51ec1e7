#pragma once

// The shell association of schema files (*.uls) with the program, written at
// every start so that a moved program is found again. On Windows it is four
// default values under HKEY_CURRENT_USER\Software\Classes, which Windows
// shows in HKEY_CLASSES_ROOT for this user (HKEY_CLASSES_ROOT itself needs
// administrator rights):
//
//   .uls                          the type name ("Kloxmere")
//   Kloxmere                      the description ("TA Unit List")
//   Kloxmere\DefaultIcon          the icon: the program's full path and ",0"
//   Kloxmere\shell\open\command   the program's full path, " %1"
//
// Elsewhere the same content goes to the freedesktop.org places: a MIME type
// for the extension, a desktop entry that opens the file, and the default
// application for the type (XdgAssociation.h).

#include <string>
#include <vector>

namespace kloxmere {

// The arguments of RegisterFileType after its rules.
struct FileTypeRegistration {
    std::string extension;    // with a leading "." (".uls")
    std::string programPath;  // the program's full path
    std::string iconPath;     // the program's path, with ",0" for an .exe or .dll
    std::string typeName;     // "Kloxmere"
    std::string description;  // "TA Unit List"
    std::string openCommand;  // the program path, " %1" (no quotes around either)
    bool operator==(const FileTypeRegistration&) const = default;
};

// Applies the argument rules: an extension without "." gets one in front; an
// icon path that is blank becomes the program path, and one ending in ".exe"
// or ".dll" (any case) gets ",0"; an empty type name becomes
// "Reg.Application", an empty description "RegDescription".
FileTypeRegistration FileTypeArguments(std::string extension, std::string programPath,
                                       std::string iconPath, std::string typeName,
                                       std::string description);

// A registry key under the class root and its default value.
struct RegistryEntry {
    std::string key;
    std::string value;
    bool operator==(const RegistryEntry&) const = default;
};

// The four keys and values, in the order they are written.
std::vector<RegistryEntry> RegistryEntries(const FileTypeRegistration& registration);

// Registers the program as the one that opens files of `extension`. True when
// every entry was written (or already held its content); a failure stops at
// that entry and is not reported otherwise.
bool RegisterFileType(std::string extension, std::string programPath, std::string iconPath,
                      std::string typeName, std::string description);

// The platform's half: the Windows registry (RegistryWin32.cpp) or the
// freedesktop.org places (XdgAssociation.cpp).
bool WriteFileAssociation(const FileTypeRegistration& registration);

}  // namespace kloxmere
