#include "units/DefinitionDigest.h"

#include <algorithm>

#include "archive/clsHPI.h"
#include "base/ContentHash.h"
#include "base/TextCase.h"
#include "units/clsUnitArchive.h"

namespace kloxmere {

namespace {

constexpr std::uint64_t kFileSeed = 0x6b6c6f78666c6531ULL;
constexpr std::uint64_t kUnreadableFile = 0x9e3779b97f4a7c15ULL;
constexpr std::uint64_t kArchiveSeed = 0x6b6c6f7861726331ULL;
constexpr std::uint64_t kPathSeed = 0x6b6c6f7870617431ULL;

void appendLittle(std::vector<std::uint8_t>& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

std::uint64_t HashDefinitionFile(std::optional<std::span<const std::uint8_t>> bytes) {
    return bytes ? HashBytes(*bytes, kFileSeed) : kUnreadableFile;
}

std::uint64_t HashListedFile(const clsHPI& hpi, const std::string& path) {
    auto bytes = hpi.ExtractToMemory(path);
    if (!bytes) return HashDefinitionFile(std::nullopt);
    return HashDefinitionFile(std::span<const std::uint8_t>(*bytes));
}

void DefinitionDigest::add(std::string_view innerPath, std::uint64_t fileHash) {
    // Folded into a buffer kept between calls: an archive has thousands of paths.
    thread_local std::string folded;
    folded.clear();
    AppendFolded(folded, innerPath);
    std::replace(folded.begin(), folded.end(), '/', '\\');
    auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(folded.data()), folded.size());
    m_files.emplace_back(HashBytes(bytes, kPathSeed), fileHash);
}

std::uint64_t DefinitionDigest::finish() {
    // Sorted by the paths' digests, so that the directory's order does not count.
    std::sort(m_files.begin(), m_files.end());
    std::vector<std::uint8_t> bytes;
    bytes.reserve(m_files.size() * 16);
    for (const auto& [path, file] : m_files) {
        appendLittle(bytes, path);
        appendLittle(bytes, file);
    }
    return HashBytes(bytes, kArchiveSeed);
}

std::optional<std::uint64_t> CombineListedHashes(const std::vector<std::string>& listing,
                                                 const std::vector<std::uint64_t>& fileHashes) {
    DefinitionDigest digest;
    for (std::size_t i = 0; i < listing.size() && i < fileHashes.size(); ++i) {
        if (ClassifyListedFile(listing[i])) digest.add(listing[i], fileHashes[i]);
    }
    if (digest.empty()) return std::nullopt;
    return digest.finish();
}

std::optional<std::uint64_t> HashArchiveDefinitions(
    const std::string& path, const std::vector<std::string>& listedDirectories) {
    clsHPI hpi;
    struct Closer {
        clsHPI& hpi;
        ~Closer() { hpi.CloseFile(); }
    } closer{hpi};
    hpi.LoadFile(path);
    hpi.CreateListing(listedDirectories);
    DefinitionDigest digest;
    for (const std::string& listed : hpi.Listing) {
        if (ClassifyListedFile(listed)) digest.add(listed, HashListedFile(hpi, listed));
    }
    if (digest.empty()) return std::nullopt;
    return digest.finish();
}

}  // namespace kloxmere
