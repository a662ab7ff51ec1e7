#pragma once

// Builds small TA installations for tests: archives written with the
// program's own writer from (inner path, text) pairs.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kloxmere::test {

using ArchiveFiles = std::vector<std::pair<std::string, std::string>>;

// Writes an archive at `path` holding `files`.
void WriteArchive(const std::string& path, const ArchiveFiles& files);

// The text of a unit definition file with the given fields and weapons.
std::string UnitText(const std::string& name, const std::string& side = "ARM",
                     const std::string& tedClass = "TANK",
                     const std::vector<std::string>& weapons = {});

// The text of a weapon file: one section per (name, number).
std::string WeaponText(const std::vector<std::pair<std::string, int>>& weapons);

// The text of a download file with one entry.
std::string DownloadText(const std::string& builder, const std::string& menu,
                         const std::string& button, const std::string& unit);

// The bytes of a PCX picture `width` x `height` holding `pixels` (row after
// row), every pixel stored as a run of one.
std::string PcxBytes(int width, int height, const std::vector<std::uint8_t>& pixels);

}  // namespace kloxmere::test
