#pragma once

// A short code for the enabled set, for two players to compare before a game:
// it covers what decides a game in every enabled archive (its definition
// files' bytes, see units/DefinitionDigest.h), not the archives' names, file
// times or order. Each archive's own digest is listed too, so that two
// players whose codes differ can find the archive that differs.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kloxmere {

class Catalogue;

struct ArchiveFingerprint {
    std::string name;  // the archive's file name as it is on disk now
    std::uint64_t hash = 0;
};

struct EnabledSetFingerprint {
    std::string code;                          // "K7Q2-M9XA"
    std::vector<ArchiveFingerprint> archives;  // in ArchiveList order
};

// The fingerprint of ArchiveList's enabled archives that hold definition
// files. Enabled archives not digested yet (those a fast-load list stands
// for) are opened and digested first, once; one that cannot be read is left
// out. An empty set has a code too.
EnabledSetFingerprint FingerprintEnabledSet(Catalogue& catalogue);

// Eight characters of kFingerprintAlphabet in two groups of four, made from
// the archives' digests in any order (the same digests give the same code).
std::string FingerprintCode(std::vector<std::uint64_t> archiveHashes);

// Digits and capital letters without those read as one another (0 and O, 1, I and L).
inline constexpr std::string_view kFingerprintAlphabet = "23456789ABCDEFGHJKMNPQRSTUVWXYZ";

// A digest as sixteen lower-case hexadecimal digits.
std::string HexHash(std::uint64_t hash);

}  // namespace kloxmere
