#include "catalogue/UnitGroupsFile.h"

#include <filesystem>
#include <system_error>

#include "base/ByteStream.h"
#include "base/FileSystem.h"
#include "catalogue/clsUnitGroup.h"
#include "units/modGeneric.h"

namespace kloxmere {

namespace fs = std::filesystem;

namespace {

// A string of the file: its terminator must be there.
std::string readString(ByteReader& reader, const char* what) {
    std::string text = ReadZString(reader);
    if (reader.hitEnd()) {
        throw TruncatedError(std::string("the data ends inside ") + what);
    }
    return text;
}

}  // namespace

std::string ParseUnitGroups(std::span<const std::uint8_t> bytes,
                            Collection<clsUnitGroup>& GroupList) {
    if (bytes.size() < 4) {
        return {};
    }
    ByteReader reader(bytes);
    const std::int32_t groupCount = reader.readI32();
    try {
        // Counts are never used to reserve memory: a damaged count must not
        // allocate more than the data can hold.
        for (std::int32_t g = 0; g < groupCount; ++g) {
            clsUnitGroup group;
            group.Name = readString(reader, "a group name");
            const std::int32_t keywordCount = reader.readI32();
            for (std::int32_t k = 0; k < keywordCount; ++k) {
                group.Keywords.Add(readString(reader, "a keyword"));
            }
            std::string name = group.Name;
            if (!GroupList.tryAdd(std::move(group), name)) {
                return "the group '" + name + "' is there twice";
            }
        }
    } catch (const TruncatedError& error) {
        return std::string("group ") + std::to_string(GroupList.Count() + 1) + ": " + error.what();
    }
    return {};
}

std::vector<std::uint8_t> FormatUnitGroups(const Collection<clsUnitGroup>& GroupList) {
    ByteWriter writer;
    writer.writeI32(static_cast<std::int32_t>(GroupList.Count()));
    for (const clsUnitGroup& group : GroupList) {
        WriteZString(writer, group.Name);
        writer.writeI32(static_cast<std::int32_t>(group.Keywords.Count()));
        for (const std::string& keyword : group.Keywords) {
            WriteZString(writer, keyword);
        }
    }
    return writer.take();
}

GroupsLoadResult LoadGroups(Collection<clsUnitGroup>& GroupList, const std::string& directory) {
    GroupsLoadResult result;
    const fs::path file = PathFromUtf8(directory) / kUnitGroupsFileName;
    std::error_code error;
    if (!fs::exists(file, error)) {
        return result;
    }
    result.found = true;

    std::string problem;
    try {
        problem = ParseUnitGroups(ReadFileBytes(file), GroupList);
    } catch (const FileError& readError) {
        problem = readError.what();
    }
    if (problem.empty()) {
        return result;
    }

    result.damaged = true;
    result.problem = Utf8FromPath(file) + ": " + problem;
    // Kept aside rather than deleted: the groups after the damage are still
    // in it, and the next save would otherwise write over them.
    fs::rename(file, PathFromUtf8(directory) / kDamagedUnitGroupsFileName, error);
    if (error) {
        result.problem += " (it could not be moved aside: " + error.message() + ")";
    }
    return result;
}

bool SaveGroups(const Collection<clsUnitGroup>& GroupList, const std::string& directory,
                std::string* reason) {
    try {
        WriteFileAtomically(PathFromUtf8(directory) / kUnitGroupsFileName,
                            FormatUnitGroups(GroupList));
        return true;
    } catch (const FileError& error) {
        if (reason) {
            *reason = error.what();
        }
        return false;
    }
}

}  // namespace kloxmere
