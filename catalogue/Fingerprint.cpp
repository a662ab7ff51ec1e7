#include "catalogue/Fingerprint.h"

#include <algorithm>

#include "archive/clsHPI.h"
#include "base/ContentHash.h"
#include "catalogue/Catalogue.h"
#include "units/DefinitionDigest.h"
#include "units/clsUnitArchive.h"
#include "units/modGeneric.h"

namespace kloxmere {

namespace {

constexpr std::uint64_t kSetSeed = 0x6b6c6f7873657431ULL;

}  // namespace

std::string FingerprintCode(std::vector<std::uint64_t> archiveHashes) {
    std::sort(archiveHashes.begin(), archiveHashes.end());
    std::vector<std::uint8_t> bytes;
    bytes.reserve(archiveHashes.size() * 8);
    for (std::uint64_t hash : archiveHashes) {
        for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<std::uint8_t>(hash >> (8 * i)));
    }
    std::uint64_t value = HashBytes(bytes, kSetSeed);
    const std::uint64_t base = kFingerprintAlphabet.size();
    std::string code;
    for (int i = 0; i < 8; ++i) {
        if (i == 4) code += '-';
        code += kFingerprintAlphabet[value % base];
        value /= base;
    }
    return code;
}

EnabledSetFingerprint FingerprintEnabledSet(Catalogue& catalogue) {
    EnabledSetFingerprint result;
    std::vector<std::uint64_t> hashes;
    for (clsUnitArchive* archive : catalogue.ArchiveList) {
        if (!archive->HPI || !archive->HPI->Enabled()) continue;
        if (!archive->DefinitionsDigested) {
            archive->DefinitionsDigested = true;
            try {
                archive->DefinitionsHash =
                    HashArchiveDefinitions(archive->HPI->Filename, kDefinitionDirectories);
            } catch (const std::exception&) {
                archive->DefinitionsHash.reset();  // unreadable: left out
            }
        }
        if (!archive->DefinitionsHash) continue;
        result.archives.push_back({FileTitle(archive->HPI->Filename), *archive->DefinitionsHash});
        hashes.push_back(*archive->DefinitionsHash);
    }
    result.code = FingerprintCode(std::move(hashes));
    return result;
}

std::string HexHash(std::uint64_t hash) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[hash & 15];
    return text;
}

}  // namespace kloxmere
