#include "app/ScanCache.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <stdexcept>
#include <system_error>

#include "base/ByteStream.h"
#include "base/ContentHash.h"
#include "base/FileSystem.h"
#include "units/ArchiveNames.h"
#include "units/clsMenuEntry.h"
#include "units/clsUnit.h"
#include "units/clsWeapon.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kloxmere {

namespace fs = std::filesystem;

namespace {

constexpr char kMagic[8] = {'K', 'L', 'X', 'S', 'C', 'A', 'N', '\0'};
constexpr std::size_t kHeaderSize = 8 + 4 + 4 + 8 + 3 * 4 + 8;

// The yield stores each record field the scan fills. A field added to
// clsUnit, clsWeapon or clsMenuEntry must be added to the yield (and
// kFormatVersion raised): these size checks make that impossible to forget.
#if defined(__linux__) && defined(__x86_64__) && defined(__GLIBCXX__)
static_assert(sizeof(clsUnit) == 392, "clsUnit changed: update the scan cache's unit fields");
static_assert(sizeof(clsWeapon) == 168, "clsWeapon changed: update the scan cache's weapons");
static_assert(sizeof(clsMenuEntry) == 64, "clsMenuEntry changed: update the scan cache");
#endif

void writeU64(ByteWriter& out, std::uint64_t value) {
    out.writeU32(static_cast<std::uint32_t>(value));
    out.writeU32(static_cast<std::uint32_t>(value >> 32));
}

std::uint64_t readU64(ByteReader& in) {
    std::uint64_t low = in.readU32();
    return low | static_cast<std::uint64_t>(in.readU32()) << 32;
}

void writeString(ByteWriter& out, std::string_view text) {
    out.writeU32(static_cast<std::uint32_t>(text.size()));
    out.writeBytes(text);
}

// A stored string, as a view of the data being read.
std::string_view readText(ByteReader& in) {
    std::uint32_t length = in.readU32();
    auto bytes = in.readBytes(length);
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::string readString(ByteReader& in) {
    return std::string(readText(in));
}

// A count read from the data, checked against the bytes left: every item
// takes at least `minimumItemSize` bytes.
std::uint32_t readCount(ByteReader& in, std::size_t minimumItemSize) {
    std::uint32_t count = in.readU32();
    if (static_cast<std::uint64_t>(count) * minimumItemSize > in.remaining()) {
        throw TruncatedError("a count of " + std::to_string(count) + " exceeds the data");
    }
    return count;
}

// The clsUnit fields the yield carries, in their stored order.
constexpr CompactText clsUnit::*kUnitFields[] = {
    &clsUnit::Name,         &clsUnit::Callname,  &clsUnit::Description,   &clsUnit::Class,
    &clsUnit::ID,           &clsUnit::Side,      &clsUnit::MaxDamage,     &clsUnit::BuildTime,
    &clsUnit::CostEnergy,   &clsUnit::CostMetal, &clsUnit::SightDistance, &clsUnit::RadarDistance,
    &clsUnit::SonarDistance};

void writeDecoded(ByteWriter& out, DefinitionKind kind, const DecodedFile& file) {
    out.writeU8(file.extracted ? 1 : 0);
    if (!file.extracted) return;
    switch (kind) {
        case DefinitionKind::Unit:
            for (auto field : kUnitFields) writeString(out, (*file.unit).*field);
            out.writeU32(static_cast<std::uint32_t>(file.unit->WeaponNames.size()));
            for (const CompactText& name : file.unit->WeaponNames) writeString(out, name);
            break;
        case DefinitionKind::Weapons:
            out.writeU32(static_cast<std::uint32_t>(file.weapons.size()));
            for (const auto& weapon : file.weapons) {
                writeString(out, weapon->Name);
                out.writeI32(weapon->ID);
            }
            break;
        case DefinitionKind::Download:
            out.writeU32(static_cast<std::uint32_t>(file.menuEntries.size()));
            for (const auto& entry : file.menuEntries) {
                writeString(out, entry->BuilderUnit);
                writeString(out, entry->Menu);
                writeString(out, entry->Button);
                writeString(out, entry->Unit);
            }
            break;
    }
}

// Passes over a record readDecoded would read.
void skipDecoded(ByteReader& in, DefinitionKind kind) {
    if (in.readU8() == 0) return;
    auto skipString = [&in] { in.readBytes(in.readU32()); };
    switch (kind) {
        case DefinitionKind::Unit: {
            for (std::size_t i = 0; i < std::size(kUnitFields); ++i) skipString();
            std::uint32_t names = readCount(in, 4);
            for (std::uint32_t i = 0; i < names; ++i) skipString();
            break;
        }
        case DefinitionKind::Weapons: {
            std::uint32_t count = readCount(in, 8);
            for (std::uint32_t i = 0; i < count; ++i) {
                skipString();
                in.readU32();
            }
            break;
        }
        case DefinitionKind::Download: {
            std::uint32_t count = readCount(in, 16);
            for (std::uint32_t i = 0; i < 4 * count; ++i) skipString();
            break;
        }
    }
}

DecodedFile readDecoded(ByteReader& in, DefinitionKind kind) {
    DecodedFile file;
    file.extracted = in.readU8() != 0;
    if (!file.extracted) return file;
    switch (kind) {
        case DefinitionKind::Unit: {
            file.unit = std::make_unique<clsUnit>();
            for (auto field : kUnitFields) (*file.unit).*field = readText(in);
            std::uint32_t names = readCount(in, 4);
            file.unit->WeaponNames.reserve(names);
            for (std::uint32_t i = 0; i < names; ++i)
                file.unit->WeaponNames.emplace_back(readText(in));
            break;
        }
        case DefinitionKind::Weapons: {
            std::uint32_t count = readCount(in, 8);
            file.weapons.reserve(count);
            for (std::uint32_t i = 0; i < count; ++i) {
                auto weapon = std::make_unique<clsWeapon>();
                weapon->Name = readText(in);
                weapon->ID = in.readI32();
                file.weapons.push_back(std::move(weapon));
            }
            break;
        }
        case DefinitionKind::Download: {
            std::uint32_t count = readCount(in, 16);
            file.menuEntries.reserve(count);
            for (std::uint32_t i = 0; i < count; ++i) {
                auto entry = std::make_unique<clsMenuEntry>();
                entry->BuilderUnit = readText(in);
                entry->Menu = readText(in);
                entry->Button = readText(in);
                entry->Unit = readText(in);
                file.menuEntries.push_back(std::move(entry));
            }
            break;
        }
    }
    return file;
}

void writeIdentity(ByteWriter& out, const ArchiveIdentity& identity) {
    writeString(out, identity.name);
    writeU64(out, identity.size);
    writeU64(out, static_cast<std::uint64_t>(identity.modified));
    writeU64(out, identity.device);
    writeU64(out, identity.inode);
}

ArchiveIdentity readIdentity(ByteReader& in) {
    ArchiveIdentity identity;
    identity.name = readString(in);
    identity.size = readU64(in);
    identity.modified = static_cast<std::int64_t>(readU64(in));
    identity.device = readU64(in);
    identity.inode = readU64(in);
    return identity;
}

std::string uniqueSuffix() {
    std::random_device random;
    std::uniform_int_distribution<std::uint64_t> draw;
    char text[40];
    std::snprintf(text, sizeof text, ".tmp-%016llx", static_cast<unsigned long long>(draw(random)));
    return text;
}

}  // namespace

#ifndef _WIN32
namespace {

std::optional<ArchiveIdentity> identityOf(const std::string& path, int directory,
                                          const char* name) {
    struct stat status {};
    if (::fstatat(directory, name, &status, 0) != 0) return std::nullopt;
    ArchiveIdentity identity;
    identity.name = EnabledName(path);
    identity.size = static_cast<std::uint64_t>(status.st_size);
    identity.modified = static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 +
                        static_cast<std::int64_t>(status.st_mtim.tv_nsec);
    identity.device = static_cast<std::uint64_t>(status.st_dev);
    identity.inode = static_cast<std::uint64_t>(status.st_ino);
    return identity;
}

}  // namespace
#endif

std::optional<ArchiveIdentity> IdentifyArchive(const std::string& path) {
#ifdef _WIN32
    ArchiveIdentity identity;
    identity.name = EnabledName(path);
    // The volume's serial number and the file's index stand for device and inode.
    HANDLE file = CreateFileW(PathFromUtf8(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (!known) return std::nullopt;
    auto wide = [](DWORD high, DWORD low) {
        return static_cast<std::uint64_t>(high) << 32 | static_cast<std::uint64_t>(low);
    };
    identity.size = wide(info.nFileSizeHigh, info.nFileSizeLow);
    // 100-nanosecond ticks since 1601; only compared, never turned into dates.
    identity.modified = static_cast<std::int64_t>(
        wide(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime) * 100);
    identity.device = info.dwVolumeSerialNumber;
    identity.inode = wide(info.nFileIndexHigh, info.nFileIndexLow);
    return identity;
#else
    return identityOf(path, AT_FDCWD, path.c_str());
#endif
}

ArchiveDirectory::ArchiveDirectory(std::string directory) : m_directory(std::move(directory)) {
#ifndef _WIN32
    m_handle = ::open(m_directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
}

ArchiveDirectory::~ArchiveDirectory() {
#ifndef _WIN32
    if (m_handle >= 0) ::close(m_handle);
#endif
}

std::optional<ArchiveIdentity> ArchiveDirectory::identify(const std::string& path) const {
#ifndef _WIN32
    std::string_view name(path);
    if (m_handle >= 0 && name.starts_with(m_directory)) {
        name.remove_prefix(m_directory.size());
        if (!name.empty() && name.find('/') == std::string_view::npos) {
            return identityOf(path, m_handle, path.c_str() + m_directory.size());
        }
    }
#endif
    return IdentifyArchive(path);
}

std::int64_t FileClockNow() {
#ifdef _WIN32
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    std::uint64_t ticks = static_cast<std::uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    return static_cast<std::int64_t>(ticks * 100);
#else
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
#endif
}

std::vector<std::uint8_t> EncodeArchiveYield(const std::vector<std::string>& listing,
                                             const std::vector<std::optional<DecodedFile>>& decoded,
                                             const std::vector<std::uint64_t>& fileHashes) {
    ByteWriter out;
    out.writeU32(static_cast<std::uint32_t>(listing.size()));
    for (std::size_t i = 0; i < listing.size(); ++i) {
        writeString(out, listing[i]);
        auto kind = ClassifyListedFile(listing[i]);
        if (!kind) continue;
        writeU64(out, i < fileHashes.size() ? fileHashes[i] : 0);
        if (i < decoded.size() && decoded[i]) {
            writeDecoded(out, *kind, *decoded[i]);
        } else {
            throw std::logic_error("an archive's yield misses the decoded file " + listing[i]);
        }
    }
    return out.take();
}

ArchiveYield DecodeArchiveYield(std::span<const std::uint8_t> bytes, const WantedFile& wanted) {
    ByteReader in(bytes);
    ArchiveYield yield;
    std::uint32_t count = readCount(in, 4);
    yield.listing.reserve(count);
    yield.decoded.resize(count);
    yield.fileHashes.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        yield.listing.push_back(readString(in));
        auto kind = ClassifyListedFile(yield.listing.back());
        if (!kind) continue;
        yield.fileHashes[i] = readU64(in);
        if (wanted && !wanted(*kind, yield.listing.back())) {
            skipDecoded(in, *kind);
        } else {
            yield.decoded[i] = readDecoded(in, *kind);
        }
    }
    if (!in.atEnd()) throw TruncatedError("an archive's yield runs on past its records");
    return yield;
}

ScanCache ScanCache::Load(const std::string& userDataDirectory) {
    auto storage = FileBytes::Read(PathFromUtf8(userDataDirectory + kFileName));
    if (!storage) return {};  // no cache yet: every archive is read
    return fromStorage(std::move(*storage));
}

ScanCache ScanCache::FromBytes(std::vector<std::uint8_t> bytes) {
    return fromStorage(FileBytes::FromVector(std::move(bytes)));
}

ScanCache ScanCache::fromStorage(FileBytes storage) {
    ScanCache cache;
    std::span<const std::uint8_t> bytes = storage.bytes();
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        return cache;
    }
    ByteReader header(bytes.first(kHeaderSize));
    header.readBytes(sizeof kMagic);
    if (header.readU32() != kFormatVersion) return cache;
    std::uint32_t count = header.readU32();
    auto recorded = static_cast<std::int64_t>(readU64(header));
    std::array<std::uint32_t, 3> sizes{};
    for (auto& listSize : sizes) listSize = header.readU32();
    std::uint64_t expected = readU64(header);

    auto body = bytes.subspan(kHeaderSize);
    try {
        ByteReader in(body);
        std::uint64_t digest = 0;
        cache.m_entries.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            std::size_t headStart = in.position();
            Entry entry;
            entry.identity = readIdentity(in);
            std::uint32_t length = in.readU32();
            digest = HashBytes(body.subspan(headStart, in.position() - headStart), digest);
            entry.yield = in.readBytes(length);
            digest = HashBytes(entry.yield, digest);
            std::string name = entry.identity.name;
            cache.m_entries.emplace(std::move(name), std::move(entry));
        }
        if (!in.atEnd()) throw TruncatedError("the scan cache runs on past its entries");
        if (digest != expected) return {};  // damaged: ignored as a whole
    } catch (const TruncatedError&) {
        return {};  // cut short or damaged: ignored as a whole
    }
    cache.m_storage = std::move(storage);
    cache.m_recorded = recorded;
    cache.m_catalogueSizes = sizes;
    return cache;
}

std::optional<std::span<const std::uint8_t>> ScanCache::find(
    const ArchiveIdentity& identity) const {
    // Too close to the recording scan for its time to tell a rewrite apart.
    if (identity.modified > m_recorded - kSettleNanoseconds) return std::nullopt;
    auto [begin, end] = m_entries.equal_range(identity.name);
    for (auto it = begin; it != end; ++it) {
        if (it->second.identity == identity) return it->second.yield;
    }
    return std::nullopt;
}

ScanCacheWriter::ScanCacheWriter(std::int64_t scanStarted, std::string userDataDirectory)
    : m_scanStarted(scanStarted), m_directory(std::move(userDataDirectory)) {}

ScanCacheWriter::~ScanCacheWriter() {
    discardFile();
}

void ScanCacheWriter::keep(ArchiveIdentity identity, std::span<const std::uint8_t> yield) {
    ++m_count;
    if (m_started) {
        emit(identity, yield);
    } else {
        m_noted.push_back({std::move(identity), yield});
    }
}

void ScanCacheWriter::add(const ArchiveIdentity& identity, std::span<const std::uint8_t> yield) {
    ++m_count;
    ++m_added;
    if (!m_started) startFile();
    emit(identity, yield);
}

bool ScanCacheWriter::differsFrom(const ScanCache& previous) const {
    return m_added > 0 || m_count != previous.size();
}

std::vector<std::uint8_t> ScanCacheWriter::header(std::uint64_t digest) const {
    ByteWriter header;
    header.writeBytes(std::string_view(kMagic, sizeof kMagic));
    header.writeU32(ScanCache::kFormatVersion);
    header.writeU32(static_cast<std::uint32_t>(m_count));
    writeU64(header, static_cast<std::uint64_t>(m_scanStarted));
    for (std::uint32_t listSize : m_catalogueSizes) header.writeU32(listSize);
    writeU64(header, digest);
    return header.take();
}

void ScanCacheWriter::startFile() {
    m_started = true;
    m_temp = PathFromUtf8(m_directory + ScanCache::kFileName);
    m_temp += uniqueSuffix();
    m_out.open(m_temp, std::ios::binary | std::ios::trunc);
    // A file that does not open fails the stream for good: write() reports it.
    put(std::vector<std::uint8_t>(kHeaderSize));  // the header, filled in last
    for (const Kept& kept : m_noted) emit(kept.identity, kept.yield);
    m_noted = {};
}

void ScanCacheWriter::emit(const ArchiveIdentity& identity, std::span<const std::uint8_t> yield) {
    ByteWriter head;
    writeIdentity(head, identity);
    head.writeU32(static_cast<std::uint32_t>(yield.size()));
    m_digest = HashBytes(yield, HashBytes(head.bytes(), m_digest));
    put(head.bytes());
    put(yield);
}

void ScanCacheWriter::put(std::span<const std::uint8_t> part) {
    if (m_out)
        m_out.write(reinterpret_cast<const char*>(part.data()),
                    static_cast<std::streamsize>(part.size()));
}

void ScanCacheWriter::discardFile() {
    if (!m_started || m_finished) return;
    m_finished = true;
    m_out.close();
    std::error_code ignored;
    fs::remove(m_temp, ignored);
}

void ScanCacheWriter::write() {
    fs::path target = PathFromUtf8(m_directory + ScanCache::kFileName);
    if (m_finished) throw std::logic_error("the scan cache was written already");
    if (!m_started) startFile();  // only entries taken over, or none
    if (m_out) m_out.seekp(0);
    put(header(m_digest));
    if (m_out) m_out.flush();
    if (!m_out) {
        discardFile();
        throw FileError("Cannot write " + Utf8FromPath(target));
    }
    m_out.close();
    m_finished = true;
    std::error_code error;
    fs::rename(m_temp, target, error);  // the last writer's whole file wins
    if (error) {
        std::error_code ignored;
        fs::remove(m_temp, ignored);
        throw FileError("Cannot write " + Utf8FromPath(target) + ": " + error.message());
    }
}

}  // namespace kloxmere
