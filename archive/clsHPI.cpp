#include "archive/clsHPI.h"

#include <system_error>

#include "archive/modHPIUtil.h"
#include "base/FileSystem.h"
#include "base/TextCase.h"

namespace kloxmere {

void clsHPI::LoadFile(const std::string& HPIFilename) {
    // Copied first: the argument may be Filename itself.
    std::string name = HPIFilename.empty() ? Filename : HPIFilename;
    Filename.clear();
    Listing.clear();
    Filename = std::move(name);
    Handle = HPIOpen(Filename);
}

void clsHPI::CloseFile() {
    if (Handle != 0) Handle = HPIClose(Handle);
}

void clsHPI::CreateListing(const std::vector<std::string>& Filters) {
    if (Handle == 0) return;
    for (const std::string& directory : Filters) {
        std::string buffer(255, ' ');
        std::int32_t kind = 0, size = 0;
        std::int32_t next = HPIDir(Handle, 0, directory, buffer, kind, size);
        while (next != 0) {
            std::string name = TrimAtNull(buffer);
            // Sub-directories are left out, also those whose name holds a dot.
            if (kind == 0 && name.find('.') != std::string::npos) {
                Listing.push_back(directory + "\\" + name);
            }
            buffer.assign(255, ' ');
            next = HPIDir(Handle, next, directory, buffer, kind, size);
        }
    }
}

std::optional<bool> clsHPI::ExtractFile(const std::string& SrcFilename,
                                        const std::string& DstFilename) const {
    if (Handle == 0) return std::nullopt;
    return HPIExtractFile(Handle, SrcFilename, DstFilename) == 1;
}

std::optional<std::vector<std::uint8_t>> clsHPI::ExtractToMemory(
    const std::string& SrcFilename) const {
    if (Handle == 0) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    if (HPIExtractToMemory(Handle, SrcFilename, bytes) != 1) return std::nullopt;
    return bytes;
}

bool clsHPI::Enabled() const {
    // Read for every row of the list, so the usual ASCII extension is checked
    // byte-wise; the 4th character from the end is then the 4th byte (or part
    // of a longer character, which is no "x").
    std::size_t n = Filename.size();
    if (n >= 4 && IsAscii(std::string_view(Filename).substr(n - 3))) {
        return Filename[n - 4] != 'x' && Filename[n - 4] != 'X';
    }
    std::string_view lastFour = LastCharacters(Filename, 4);
    if (CharacterCount(lastFour) < 4) return true;
    return lastFour[0] != 'x' && lastFour[0] != 'X';
}

bool clsHPI::SetEnabled(bool Value, std::string* reason) {
    auto fail = [&](const std::string& why) {
        if (reason) *reason = why;
        return false;
    };
    std::size_t separator = Filename.find_last_of("\\/");
    std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    std::size_t dot = Filename.find('.', nameStart);
    if (dot == std::string::npos) return fail("the file name has no extension");

    std::string newName = Filename.substr(0, dot) + "." + (Value ? "" : "x") +
                          std::string(LastCharacters(Filename, 3));
    if (newName == Filename) {
        // Nothing to rename; the file keeps its name.
        std::error_code error;
        if (std::filesystem::exists(PathFromUtf8(Filename), error)) return true;
        return fail("the file does not exist");
    }
    std::string why;
    if (!RenameNoReplace(PathFromUtf8(Filename), PathFromUtf8(newName), &why)) return fail(why);
    Filename = std::move(newName);
    return true;
}

}  // namespace kloxmere
