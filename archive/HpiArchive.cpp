#include "archive/HpiArchive.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <unordered_set>

#include "archive/HpiFormat.h"
#include "archive/Lz77.h"
#include "archive/RandomAccessFile.h"
#include "archive/ZlibCodec.h"
#include "base/ByteStream.h"
#include "base/FileSystem.h"
#include "base/TextCase.h"
#include "base/Windows1252.h"

namespace kloxmere {

namespace {

std::atomic<std::uint64_t> g_bytesRead{0};

// Nesting and path length far beyond anything the game can use (a path of
// 259 bytes nests at most 129 directories deep), yet small enough that a
// damaged directory cannot make the reader recurse or build paths without bound.
constexpr int kMaxDepth = 256;
constexpr std::size_t kMaxPathBytes = 1024;

// A deflate stream never decodes to more than about 1,032 times its own size.
constexpr std::uint64_t kMaxZlibRatio = 1032;

struct FileData {
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    HpiCompression compression = HpiCompression::Stored;
    // Where the next file's data (or the archive) begins: in the usual packed
    // layout the end of this file's chunk table and chunks.
    std::uint64_t extentEnd = 0;
};

struct Directory {
    std::vector<HpiDirEntry> entries;
    // Per entry: the index into the directories (for a directory) or into the files.
    std::vector<std::uint32_t> targets;
    // The entries by name without regard to case: open addressing over entry
    // positions (position + 1, 0 when free), in one allocation per directory
    // rather than a node and a name copy per entry.
    std::vector<std::uint32_t> slots;

    // Indexes every entry; false when two names are equal without regard to case.
    bool index() {
        std::size_t size = 4;
        while (size < entries.size() * 2) size *= 2;
        slots.assign(size, 0);
        for (std::uint32_t i = 0; i < entries.size(); ++i) {
            const std::string& name = entries[i].name;
            std::size_t s = HashNoCase(name) & (size - 1);
            for (; slots[s] != 0; s = (s + 1) & (size - 1)) {
                if (EqualsNoCase(entries[slots[s] - 1].name, name)) return false;
            }
            slots[s] = i + 1;
        }
        return true;
    }

    // The position of the entry named `name` (without regard to case).
    std::optional<std::uint32_t> find(std::string_view name) const {
        if (slots.empty()) return std::nullopt;
        const std::size_t mask = slots.size() - 1;
        for (std::size_t s = HashNoCase(name) & mask; slots[s] != 0; s = (s + 1) & mask) {
            if (EqualsNoCase(entries[slots[s] - 1].name, name)) return slots[s] - 1;
        }
        return std::nullopt;
    }
};

std::string hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

// Splits an inner path at "\" and "/", dropping empty components.
std::vector<std::string_view> splitInnerPath(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            if (i > begin) parts.push_back(path.substr(begin, i - begin));
            begin = i + 1;
        }
    }
    return parts;
}

// Everything known about an open archive; HpiArchive's implementation.
struct ArchiveState {
    std::filesystem::path path;
    std::string name;  // the file in messages
    std::unique_ptr<RandomAccessFile> file;
    std::vector<std::uint8_t> memory;  // the archive when read from memory
    std::uint64_t length = 0;
    std::uint8_t key = 0;
    std::vector<Directory> directories;  // [0] is the root
    std::vector<FileData> files;

    [[noreturn]] void damaged(const std::string& what) const {
        throw HpiError(name + ": damaged archive: " + what);
    }

    // The bytes at `position` with the archive key removed. The caller has
    // checked the range against the file's length.
    void read(std::uint64_t position, std::span<std::uint8_t> out) const {
        if (out.empty()) return;
        if (file) {
            try {
                file->readAt(position, out);
            } catch (const FileError& e) {
                throw HpiError(e.what());
            }
        } else {
            std::memcpy(out.data(), memory.data() + position, out.size());
        }
        g_bytesRead.fetch_add(out.size(), std::memory_order_relaxed);
        hpi::ApplyArchiveKey(key, position, out.data(), out.size());
    }

    [[noreturn]] void fileFailure(std::string_view innerPath, const std::string& why) const {
        throw HpiError(name + ": " + std::string(innerPath) + ": " + why);
    }

    void load();
    // The directory and entry index of `path`; `storedPath`, when given,
    // receives the path as the archive spells it.
    std::optional<std::pair<std::uint32_t, std::uint32_t>> findEntry(
        std::string_view path, std::string* storedPath = nullptr) const;
    // The decompressed bytes of one file, read on their own.
    std::vector<std::uint8_t> extractData(const FileData& data, std::string_view what) const;
    std::vector<std::uint8_t> extractCompressed(const FileData& data, std::string_view what) const;
    // The bytes from a compressed file's start to the end of its chunks when
    // they can be told (and read in one piece); nullopt otherwise.
    std::optional<std::uint64_t> compressedExtent(const FileData& data) const;
    // Decodes a compressed file into `out`; `whole` holds the bytes read from
    // the file's start (its table and chunks, unscrambled in place), or is
    // empty, when table and chunks are read one by one.
    void decodeCompressed(const FileData& data, std::string_view what,
                          std::span<std::uint8_t> whole, std::vector<std::uint8_t>& out) const;
    void listInto(std::uint32_t dir, const std::string& prefix,
                  std::vector<HpiFileInfo>& out) const;
};

// Reads the directory tree out of the unscrambled directory block.
class DirectoryParser {
  public:
    DirectoryParser(ArchiveState& archive, std::span<const std::uint8_t> block, std::uint32_t start)
        : m_archive(archive), m_block(block), m_start(start) {}

    void parse() { parseDirectory(m_start, 0, 0); }

  private:
    bool inBlock(std::uint64_t offset, std::uint64_t size) const {
        return offset >= m_start && offset - m_start <= m_block.size() &&
               size <= m_block.size() - (offset - m_start);
    }
    const std::uint8_t* at(std::uint32_t offset) const {
        return m_block.data() + (offset - m_start);
    }

    std::uint32_t parseDirectory(std::uint32_t record, int depth, std::size_t pathBytes) {
        if (depth > kMaxDepth) m_archive.damaged("directories nest too deeply");
        if (!inBlock(record, hpi::kDirectoryRecordSize)) {
            m_archive.damaged("a directory record at " + hex(record) +
                              " lies outside the directory block");
        }
        // A record reached twice is a cycle, or sharing that multiplies the tree.
        if (!m_seen.insert(record).second) {
            m_archive.damaged("the directory record at " + hex(record) + " is reached twice");
        }
        std::uint32_t count = LoadU32(at(record));
        std::uint32_t first = LoadU32(at(record) + 4);
        if (!inBlock(first, std::uint64_t{count} * hpi::kEntrySize)) {
            m_archive.damaged("the " + std::to_string(count) + " entries of the directory at " +
                              hex(record) + " do not fit in the directory block");
        }

        auto index = static_cast<std::uint32_t>(m_archive.directories.size());
        m_archive.directories.emplace_back();
        std::vector<HpiDirEntry> entries;
        std::vector<std::uint32_t> targets;
        entries.reserve(count);
        targets.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint8_t* entry = at(first) + std::size_t{i} * hpi::kEntrySize;
            HpiDirEntry parsed;
            std::string rawName = readName(LoadU32(entry));
            const std::size_t rawSize = rawName.size();
            if (pathBytes + 1 + rawSize > kMaxPathBytes) {
                m_archive.damaged("an inner path grows longer than " +
                                  std::to_string(kMaxPathBytes) + " bytes");
            }
            parsed.name = IsAscii(rawName) ? std::move(rawName) : DecodeWindows1252(rawName);
            std::uint32_t data = LoadU32(entry + 4);
            parsed.isDirectory = entry[8] != 0;
            if (parsed.isDirectory) {
                targets.push_back(parseDirectory(data, depth + 1, pathBytes + 1 + rawSize));
            } else {
                FileData file = parseFileRecord(data);
                parsed.size = file.size;
                parsed.compression = file.compression;
                targets.push_back(static_cast<std::uint32_t>(m_archive.files.size()));
                m_archive.files.push_back(file);
            }
            entries.push_back(std::move(parsed));
        }

        Directory& directory = m_archive.directories[index];
        directory.entries = std::move(entries);
        directory.targets = std::move(targets);
        // Paths must name one entry each: a second entry of the same name
        // (in any case) could never be looked up, or would shadow a directory.
        if (!directory.index()) {
            for (std::uint32_t i = 0; i < directory.entries.size(); ++i) {
                for (std::uint32_t j = 0; j < i; ++j) {
                    if (EqualsNoCase(directory.entries[i].name, directory.entries[j].name)) {
                        m_archive.damaged("the directory at " + hex(record) + " holds \"" +
                                          directory.entries[i].name + "\" twice");
                    }
                }
            }
        }
        return index;
    }

    std::string readName(std::uint32_t offset) {
        if (!inBlock(offset, 1)) {
            m_archive.damaged("a name at " + hex(offset) + " lies outside the directory block");
        }
        auto begin = m_block.begin() + (offset - m_start);
        auto zero = std::find(begin, m_block.end(), std::uint8_t{0});
        if (zero == m_block.end()) {
            m_archive.damaged("the name at " + hex(offset) + " runs past the directory block");
        }
        std::string name(begin, zero);
        if (name.empty()) m_archive.damaged("an entry at " + hex(offset) + " has an empty name");
        if (name.find_first_of("\\/") != std::string::npos) {
            m_archive.damaged("the name at " + hex(offset) + " holds a path separator");
        }
        return name;
    }

    FileData parseFileRecord(std::uint32_t record) {
        if (!inBlock(record, hpi::kFileRecordSize)) {
            m_archive.damaged("a file record at " + hex(record) +
                              " lies outside the directory block");
        }
        FileData file;
        file.offset = LoadU32(at(record));
        file.size = LoadU32(at(record) + 4);
        std::uint8_t compression = at(record)[8];
        if (compression > 2) {
            m_archive.damaged("the file record at " + hex(record) + " names compression " +
                              std::to_string(compression));
        }
        file.compression = static_cast<HpiCompression>(compression);

        // The smallest the data can be on disk: the bytes themselves, or a
        // chunk table and a chunk header per 65,536 bytes.
        std::uint64_t minimum = file.size;
        if (file.compression != HpiCompression::Stored) {
            std::uint64_t chunks =
                (std::uint64_t{file.size} + hpi::kChunkSize - 1) / hpi::kChunkSize;
            minimum = chunks * (4 + hpi::kChunkHeaderSize);
        }
        if (minimum > 0 &&
            (file.offset > m_archive.length || minimum > m_archive.length - file.offset)) {
            m_archive.damaged("the data of the file record at " + hex(record) +
                              " runs past the end of the file");
        }
        return file;
    }

    ArchiveState& m_archive;
    std::span<const std::uint8_t> m_block;
    std::uint32_t m_start;
    std::unordered_set<std::uint32_t> m_seen;
};

void ArchiveState::load() {
    if (length < hpi::kHeaderSize) damaged("the file is too short for an archive header");
    std::uint8_t header[hpi::kHeaderSize];
    read(0, header);  // the key is still 0: the header is never scrambled

    if (std::memcmp(header, hpi::kMarker.data(), 4) != 0) {
        throw HpiError(name + ": not an archive of the game (no HAPI marker)");
    }
    if (std::memcmp(header + 4, hpi::kSavedGameMarker.data(), 4) == 0) {
        throw HpiError(name + ": a saved game, not an archive");
    }
    std::uint32_t version = LoadU32(header + 4);
    if (version == hpi::kVersion2) {
        throw HpiError(name + ": the later game's archive variant (version 2) is not supported");
    }
    if (version != hpi::kVersion1) {
        throw HpiError(name + ": unknown archive version " + hex(version));
    }
    std::uint32_t directoryEnd = LoadU32(header + 8);
    std::uint32_t start = LoadU32(header + 16);
    if (start < hpi::kHeaderSize || directoryEnd > length || directoryEnd < start ||
        directoryEnd - start < hpi::kDirectoryRecordSize) {
        damaged("the directory block [" + hex(start) + ", " + hex(directoryEnd) +
                ") does not fit in the file of " + std::to_string(length) + " bytes");
    }
    key = hpi::ScrambleKey(LoadU32(header + 12));

    std::vector<std::uint8_t> block(directoryEnd - start);
    read(start, block);
    DirectoryParser(*this, block, start).parse();

    std::vector<std::uint64_t> starts;
    starts.reserve(files.size() + 1);
    for (const FileData& file : files) starts.push_back(file.offset);
    // The last file's data ends where the trailer begins; without a trailer its
    // last chunk is simply read on its own.
    starts.push_back(length >= directoryEnd + hpi::kTrailerSize ? length - hpi::kTrailerSize
                                                                : length);
    std::sort(starts.begin(), starts.end());
    for (FileData& file : files) {
        // A file starting at or after the trailer's place (an odd layout) runs to the end.
        auto next = std::upper_bound(starts.begin(), starts.end(), std::uint64_t{file.offset});
        file.extentEnd = next == starts.end() ? length : *next;
    }
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> ArchiveState::findEntry(
    std::string_view path, std::string* storedPath) const {
    // The components are taken one by one, without a list of them: this runs
    // for every file extracted.
    std::size_t position = 0;
    auto nextPart = [&]() -> std::string_view {
        while (position < path.size() && IsSeparator(path[position])) ++position;
        std::size_t begin = position;
        while (position < path.size() && !IsSeparator(path[position])) ++position;
        return path.substr(begin, position - begin);
    };
    std::string_view part = nextPart();
    if (part.empty()) return std::nullopt;
    std::uint32_t dir = 0;
    for (bool first = true;; first = false) {
        const Directory& directory = directories[dir];
        std::optional<std::uint32_t> found = directory.find(part);
        if (!found) return std::nullopt;
        const std::uint32_t at = *found;
        if (storedPath) {
            if (!first) *storedPath += '\\';
            *storedPath += directory.entries[at].name;
        }
        part = nextPart();
        if (part.empty()) return std::make_pair(dir, at);
        if (!directory.entries[at].isDirectory) return std::nullopt;
        dir = directory.targets[at];
    }
}

void ArchiveState::listInto(std::uint32_t dir, const std::string& prefix,
                            std::vector<HpiFileInfo>& out) const {
    const Directory& directory = directories[dir];
    for (std::size_t i = 0; i < directory.entries.size(); ++i) {
        const HpiDirEntry& entry = directory.entries[i];
        std::string path = prefix.empty() ? entry.name : prefix + '\\' + entry.name;
        if (entry.isDirectory) {
            listInto(directory.targets[i], path, out);
        } else {
            out.push_back({std::move(path), entry.size, entry.compression});
        }
    }
}

std::optional<std::uint64_t> ArchiveState::compressedExtent(const FileData& data) const {
    // Where the file's table and chunks can be told to end before the next
    // file, they are read in one piece; otherwise table and chunks one by one.
    // Either way the range is checked: the table when the archive was opened,
    // the chunks as they are decoded.
    std::uint64_t chunks = (std::uint64_t{data.size} + hpi::kChunkSize - 1) / hpi::kChunkSize;
    if (chunks == 0) return std::nullopt;
    std::uint64_t tableBytes = chunks * 4;
    std::uint64_t mostExpected =
        tableBytes + chunks * hpi::kChunkHeaderSize + data.size + data.size / 8 + 64;
    std::uint64_t extent = data.extentEnd > data.offset ? data.extentEnd - data.offset : 0;
    if (extent >= tableBytes && extent <= mostExpected && extent <= length - data.offset) {
        return extent;
    }
    return std::nullopt;
}

// A buffer each thread keeps for reads, so that reading many small files does
// not allocate (and free) one per file; one huge read does not pin it for good.
// Each use has a vector of its own, so that one never moves another's bytes.
class ThreadBuffer {
  public:
    explicit ThreadBuffer(std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}
    ThreadBuffer(const ThreadBuffer&) = delete;
    ThreadBuffer& operator=(const ThreadBuffer&) = delete;
    ~ThreadBuffer() { trim(); }
    std::span<std::uint8_t> take(std::size_t size) {
        m_bytes.resize(size);
        return m_bytes;
    }
    void trim() {
        if (m_bytes.capacity() > (1u << 20)) std::vector<std::uint8_t>().swap(m_bytes);
    }

  private:
    std::vector<std::uint8_t>& m_bytes;
};

std::vector<std::uint8_t> ArchiveState::extractData(const FileData& data,
                                                    std::string_view what) const {
    if (data.compression != HpiCompression::Stored) return extractCompressed(data, what);
    std::vector<std::uint8_t> out(data.size);
    read(data.offset, out);
    return out;
}

std::vector<std::uint8_t> ArchiveState::extractCompressed(const FileData& data,
                                                          std::string_view what) const {
    std::vector<std::uint8_t> out;
    thread_local std::vector<std::uint8_t> bytes;
    ThreadBuffer buffer(bytes);
    std::span<std::uint8_t> whole;
    if (auto extent = compressedExtent(data)) {
        whole = buffer.take(*extent);
        read(data.offset, whole);
    }
    decodeCompressed(data, what, whole, out);
    return out;
}

void ArchiveState::decodeCompressed(const FileData& data, std::string_view what,
                                    std::span<std::uint8_t> whole,
                                    std::vector<std::uint8_t>& out) const {
    auto fail = [&](const std::string& why) { fileFailure(what, why); };
    std::uint64_t chunks = (std::uint64_t{data.size} + hpi::kChunkSize - 1) / hpi::kChunkSize;
    out.clear();
    if (chunks == 0) return;
    std::uint64_t tableBytes = chunks * 4;
    std::vector<std::uint8_t> ownTable;
    std::span<const std::uint8_t> table;
    if (whole.empty()) {
        ownTable.resize(tableBytes);
        read(data.offset, ownTable);
        table = ownTable;
    } else {
        table = whole.first(tableBytes);
    }
    std::uint64_t position = data.offset + table.size();
    std::uint64_t total = 0;
    for (std::uint64_t k = 0; k < chunks; ++k) {
        std::uint32_t onDisk = LoadU32(table.data() + k * 4);
        if (onDisk < hpi::kChunkHeaderSize) {
            fail("chunk " + std::to_string(k) + " is smaller than a chunk header");
        }
        total += onDisk;
    }
    if (total > length - position) fail("the chunks run past the end of the file");
    out.reserve(std::min<std::uint64_t>(data.size, total * kMaxZlibRatio));

    std::vector<std::uint8_t> chunk;
    for (std::uint64_t k = 0; k < chunks; ++k) {
        auto label = [k] { return "chunk " + std::to_string(k); };
        std::uint32_t onDisk = LoadU32(table.data() + k * 4);
        std::uint32_t expected = k + 1 < chunks
                                     ? hpi::kChunkSize
                                     : data.size - static_cast<std::uint32_t>(k * hpi::kChunkSize);
        std::span<std::uint8_t> chunkBytes;
        std::uint64_t within = position - data.offset;
        if (within + onDisk <= whole.size()) {
            chunkBytes = whole.subspan(within, onDisk);
        } else {
            chunk.resize(onDisk);
            read(position, chunk);
            chunkBytes = chunk;
        }
        position += onDisk;

        const std::uint8_t* header = chunkBytes.data();
        if (std::memcmp(header, hpi::kChunkMarker.data(), 4) != 0) {
            fail(label() + " has no SQSH marker");
        }
        if (header[4] != hpi::kChunkVersion) {
            fail(label() + " has version " + std::to_string(header[4]));
        }
        std::uint8_t method = header[5];
        bool encrypted = header[6] != 0;
        std::uint32_t compressedSize = LoadU32(header + 7);
        std::uint32_t decompressedSize = LoadU32(header + 11);
        std::uint32_t checksum = LoadU32(header + 15);
        if (compressedSize != onDisk - hpi::kChunkHeaderSize) {
            fail(label() + " disagrees with the chunk table about its size");
        }
        if (decompressedSize != expected) {
            fail(label() + " holds " + std::to_string(decompressedSize) + " bytes instead of " +
                 std::to_string(expected));
        }
        std::span<std::uint8_t> payload(chunkBytes.data() + hpi::kChunkHeaderSize, compressedSize);
        std::uint32_t sum = 0;
        for (std::uint8_t byte : payload) sum += byte;
        if (sum != checksum) fail(label() + " fails its checksum");
        if (encrypted) {
            for (std::size_t i = 0; i < payload.size(); ++i) {
                payload[i] = hpi::UnscrambleChunkByte(payload[i], i);
            }
        }

        std::size_t before = out.size();
        out.resize(before + expected);
        std::span<std::uint8_t> target(out.data() + before, expected);
        if (method == static_cast<std::uint8_t>(HpiCompression::Lz77)) {
            Lz77Result result = DecodeLz77Chunk(payload, target);
            if (result != Lz77Result::Ok) fail(label() + ": " + Lz77ResultText(result));
        } else if (method == static_cast<std::uint8_t>(HpiCompression::Zlib)) {
            if (!InflateZlib(payload, target)) {
                fail(label() + ": the zlib stream is damaged or of the wrong size");
            }
        } else {
            fail(label() + " names compression method " + std::to_string(method));
        }
    }
}

}  // namespace

struct HpiArchive::Impl : ArchiveState {};

HpiArchive::HpiArchive(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
HpiArchive::~HpiArchive() = default;

std::unique_ptr<HpiArchive> HpiArchive::open(const std::filesystem::path& path) {
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    impl->name = Utf8FromPath(path);
    try {
        impl->file = RandomAccessFile::open(path);
    } catch (const FileError& e) {
        throw HpiError(e.what());
    }
    impl->length = impl->file->size();
    impl->load();
    return std::unique_ptr<HpiArchive>(new HpiArchive(std::move(impl)));
}

std::unique_ptr<HpiArchive> HpiArchive::fromMemory(std::vector<std::uint8_t> bytes,
                                                   std::string name) {
    auto impl = std::make_unique<Impl>();
    impl->name = std::move(name);
    impl->memory = std::move(bytes);
    impl->length = impl->memory.size();
    impl->load();
    return std::unique_ptr<HpiArchive>(new HpiArchive(std::move(impl)));
}

const std::filesystem::path& HpiArchive::path() const {
    return m_impl->path;
}

const std::vector<HpiDirEntry>* HpiArchive::listDirectory(std::string_view dirPath) const {
    if (splitInnerPath(dirPath).empty()) return &m_impl->directories[0].entries;
    auto found = m_impl->findEntry(dirPath);
    if (!found) return nullptr;
    const Directory& parent = m_impl->directories[found->first];
    if (!parent.entries[found->second].isDirectory) return nullptr;
    return &m_impl->directories[parent.targets[found->second]].entries;
}

std::vector<HpiFileInfo> HpiArchive::listFiles() const {
    std::vector<HpiFileInfo> out;
    out.reserve(m_impl->files.size());
    m_impl->listInto(0, "", out);
    return out;
}

std::optional<HpiFileInfo> HpiArchive::findFile(std::string_view innerPath) const {
    std::string stored;
    auto found = m_impl->findEntry(innerPath, &stored);
    if (!found) return std::nullopt;
    const HpiDirEntry& entry = m_impl->directories[found->first].entries[found->second];
    if (entry.isDirectory) return std::nullopt;
    return HpiFileInfo{std::move(stored), entry.size, entry.compression};
}

std::vector<std::uint8_t> HpiArchive::extract(std::string_view innerPath) const {
    auto found = m_impl->findEntry(innerPath);
    if (!found) m_impl->fileFailure(innerPath, "no such file in the archive");
    const Directory& directory = m_impl->directories[found->first];
    if (directory.entries[found->second].isDirectory) {
        m_impl->fileFailure(innerPath, "a directory, not a file");
    }
    return m_impl->extractData(m_impl->files[directory.targets[found->second]], innerPath);
}

std::vector<HpiListedFile> HpiArchive::filesIn(std::string_view dirPath) const {
    std::vector<HpiListedFile> files;
    std::uint32_t dir = 0;
    if (!splitInnerPath(dirPath).empty()) {
        auto found = m_impl->findEntry(dirPath);
        if (!found) return files;
        const Directory& parent = m_impl->directories[found->first];
        if (!parent.entries[found->second].isDirectory) return files;
        dir = parent.targets[found->second];
    }
    const Directory& directory = m_impl->directories[dir];
    files.reserve(directory.entries.size());
    for (std::size_t i = 0; i < directory.entries.size(); ++i) {
        if (!directory.entries[i].isDirectory) {
            files.push_back({&directory.entries[i], directory.targets[i]});
        }
    }
    return files;
}

std::uint64_t HpiArchive::dataOffset(std::uint32_t id) const {
    return m_impl->files.at(id).offset;
}

void HpiArchive::readFiles(std::span<const std::uint32_t> ids, const FileTaker& take) const {
    const ArchiveState& state = *m_impl;
    // Files are read together while the next begins at most this far past the
    // previous one's end and the whole read stays under the second bound.
    constexpr std::uint64_t kNearby = 16 * 1024;
    constexpr std::uint64_t kMostRead = 512 * 1024;

    struct Planned {
        std::size_t position;  // in ids
        std::uint64_t begin, end;
        bool whole;  // [begin, end) holds all the file's data
    };
    std::vector<Planned> plan;
    plan.reserve(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const FileData& data = state.files.at(ids[i]);
        std::uint64_t end = data.offset;
        bool whole = true;
        if (data.compression == HpiCompression::Stored) {
            end += data.size;  // checked against the length when the archive was opened
        } else if (auto extent = state.compressedExtent(data)) {
            end += *extent;
        } else {
            whole = false;  // read as extract reads it
        }
        plan.push_back({i, data.offset, end, whole});
    }
    std::stable_sort(plan.begin(), plan.end(),
                     [](const Planned& a, const Planned& b) { return a.begin < b.begin; });

    thread_local std::vector<std::uint8_t> decompressed, grouped;
    ThreadBuffer out(decompressed), buffer(grouped);
    // `bytes` holds the file's data read with its neighbours, or nullopt when
    // the file is to be read on its own, exactly as extract reads it.
    auto deliver = [&](const Planned& file, std::optional<std::span<std::uint8_t>> bytes) {
        const FileData& data = state.files[ids[file.position]];
        std::optional<std::span<const std::uint8_t>> result;
        try {
            if (!bytes) {
                decompressed = state.extractData(data, "");
                result = decompressed;
            } else if (data.compression == HpiCompression::Stored) {
                result = *bytes;
            } else {
                state.decodeCompressed(data, "", *bytes, decompressed);
                result = decompressed;
            }
        } catch (const std::exception&) {
            result.reset();  // a file that cannot be read, as extract reports it
        }
        take(file.position, result);
        out.trim();
    };

    for (std::size_t first = 0; first < plan.size();) {
        if (!plan[first].whole) {
            deliver(plan[first++], std::nullopt);
            continue;
        }
        std::size_t last = first + 1;
        std::uint64_t end = plan[first].end;
        // Overlapping files (no writer makes them) are read apart: a
        // scrambled chunk is unscrambled where it lies.
        while (last < plan.size() && plan[last].whole && plan[last].begin >= end &&
               plan[last].begin - end <= kNearby &&
               plan[last].end - plan[first].begin <= kMostRead) {
            end = plan[last].end;
            ++last;
        }
        std::uint64_t begin = plan[first].begin;
        std::span<std::uint8_t> group = buffer.take(end - begin);
        bool readTogether = true;
        try {
            state.read(begin, group);
        } catch (const std::exception&) {
            readTogether = false;  // each file then fails (or not) as extract would
        }
        for (std::size_t k = first; k < last; ++k) {
            const Planned& file = plan[k];
            if (readTogether) {
                deliver(file, group.subspan(file.begin - begin, file.end - file.begin));
            } else {
                deliver(file, std::nullopt);
            }
        }
        first = last;
    }
}

const char* HpiCompressionName(HpiCompression compression) {
    switch (compression) {
        case HpiCompression::Stored:
            return "stored";
        case HpiCompression::Lz77:
            return "lz77";
        case HpiCompression::Zlib:
            return "zlib";
    }
    return "unknown";
}

std::uint64_t HpiBytesRead() {
    return g_bytesRead.load(std::memory_order_relaxed);
}
void ResetHpiBytesRead() {
    g_bytesRead.store(0, std::memory_order_relaxed);
}

}  // namespace kloxmere
