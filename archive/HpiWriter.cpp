#include "archive/HpiWriter.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <system_error>
#include <unordered_map>

#include "archive/HpiFormat.h"
#include "archive/ZlibCodec.h"
#include "base/ByteStream.h"
#include "base/FileSystem.h"
#include "base/TextCase.h"
#include "base/Windows1252.h"

namespace kloxmere {

namespace {

// Scrambled bytes are handed on in pieces of this size, so that streaming a
// large file with a key needs no copy of the whole file.
constexpr std::size_t kScramblePiece = 1 << 16;
// The stream buffer of write(): few system calls for archives of many megabytes.
constexpr std::size_t kWriteBuffer = 1 << 20;

std::string currentYear() {
    using namespace std::chrono;
    year_month_day today{floor<days>(system_clock::now())};
    return std::to_string(static_cast<int>(today.year()));
}

// The components of an inner path given with "\" or "/" separators.
std::vector<std::string> splitForWriting(std::string_view path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (IsSeparator(c)) {
            parts.push_back(std::move(part));
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    parts.push_back(std::move(part));
    return parts;
}

void patchU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value) {
    StoreU32(bytes.data() + at, static_cast<std::uint32_t>(value));
}

std::size_t chunkCount(std::uint64_t size) {
    return static_cast<std::size_t>((size + hpi::kChunkSize - 1) / hpi::kChunkSize);
}

[[noreturn]] void refusePath(std::string_view innerPath, const std::string& why) {
    throw HpiError(std::string(innerPath) + ": " + why);
}

std::vector<std::uint8_t> compressZlib(std::span<const std::uint8_t> plain) {
    std::vector<std::uint8_t> payload = DeflateZlib(plain);
    if (payload.empty()) throw HpiError("zlib compression failed");
    return payload;
}

// Hands `sink` the archive's bytes in file order: the header, the directory
// block and every file's data with the archive key applied at their
// positions, then the trailer. Returns the number of bytes handed over.
template <class Sink>
std::uint64_t emitArchive(const std::vector<std::uint8_t>& block,
                          const std::vector<const HpiEncodedFile*>& files, std::uint8_t headerKey,
                          std::string_view year, Sink& sink) {
    const std::uint8_t key = hpi::ScrambleKey(headerKey);
    std::vector<std::uint8_t> scratch;
    std::uint64_t position = 0;
    auto put = [&](std::span<const std::uint8_t> bytes, bool scramble) {
        if (!scramble || key == 0) {
            sink(bytes);
            position += bytes.size();
            return;
        }
        while (!bytes.empty()) {
            std::size_t piece = std::min(bytes.size(), kScramblePiece);
            scratch.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(piece));
            hpi::ApplyArchiveKey(key, position, scratch.data(), scratch.size());
            sink(std::span<const std::uint8_t>(scratch));
            position += piece;
            bytes = bytes.subspan(piece);
        }
    };
    put(std::span(block).first(hpi::kHeaderSize), false);
    put(std::span(block).subspan(hpi::kHeaderSize), true);
    for (const HpiEncodedFile* file : files) put(file->data, true);
    std::string trailer =
        std::string(hpi::kTrailerPrefix) + std::string(year) + std::string(hpi::kTrailerSuffix);
    put(std::span(reinterpret_cast<const std::uint8_t*>(trailer.data()), trailer.size()), false);
    return position;
}

// Removes a file on the way out unless told to keep it.
class RemoveUnlessKept {
  public:
    explicit RemoveUnlessKept(std::filesystem::path path) : m_path(std::move(path)) {}
    ~RemoveUnlessKept() {
        if (m_keep) return;
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    RemoveUnlessKept(const RemoveUnlessKept&) = delete;
    RemoveUnlessKept& operator=(const RemoveUnlessKept&) = delete;
    void keep() { m_keep = true; }

  private:
    std::filesystem::path m_path;
    bool m_keep = false;
};

}  // namespace

HpiEncodedFile EncodeHpiFile(std::span<const std::uint8_t> content, HpiFileEncoding encoding,
                             const HpiChunkCompressor& lz77) {
    if (content.size() >= hpi::kMaxArchiveSize) throw HpiError("a file of 2 GiB or more");
    if (encoding.compression == HpiCompression::Lz77 && !lz77) {
        throw HpiError("LZ77 needs a compressor");
    }
    HpiEncodedFile file;
    file.size = static_cast<std::uint32_t>(content.size());
    file.compression = encoding.compression;
    if (encoding.compression == HpiCompression::Stored) {
        file.data.assign(content.begin(), content.end());
        return file;
    }
    std::size_t chunks = chunkCount(content.size());
    std::vector<std::uint8_t>& out = file.data;
    out.resize(chunks * 4);
    for (std::size_t k = 0; k < chunks; ++k) {
        auto plain = content.subspan(
            k * hpi::kChunkSize,
            std::min<std::size_t>(hpi::kChunkSize, content.size() - k * hpi::kChunkSize));
        std::vector<std::uint8_t> payload =
            encoding.compression == HpiCompression::Lz77 ? lz77(plain) : compressZlib(plain);
        std::uint32_t checksum = 0;
        for (std::size_t i = 0; i < payload.size(); ++i) {
            if (encoding.scrambleChunks) payload[i] = hpi::ScrambleChunkByte(payload[i], i);
            checksum += payload[i];
        }
        std::size_t header = out.size();
        out.resize(header + hpi::kChunkHeaderSize, 0);
        std::copy(hpi::kChunkMarker.begin(), hpi::kChunkMarker.end(), out.begin() + header);
        out[header + 4] = hpi::kChunkVersion;
        out[header + 5] = static_cast<std::uint8_t>(encoding.compression);
        out[header + 6] = encoding.scrambleChunks ? 1 : 0;
        patchU32(out, header + 7, payload.size());
        patchU32(out, header + 11, plain.size());
        patchU32(out, header + 15, checksum);
        out.insert(out.end(), payload.begin(), payload.end());
        patchU32(out, k * 4, hpi::kChunkHeaderSize + payload.size());
    }
    return file;
}

HpiWriter::HpiWriter(std::uint8_t key) : m_key(key), m_year(currentYear()) {}

void HpiWriter::setLz77Compressor(HpiChunkCompressor compressor) {
    m_lz77 = std::move(compressor);
}

void HpiWriter::setTrailerYear(std::string year) {
    if (year.size() != 4) throw HpiError("the trailer's year must be four characters: " + year);
    m_year = std::move(year);
}

std::pair<std::string, std::string> HpiWriter::checkedPath(std::string_view innerPath) const {
    auto refuse = [&](const std::string& why) { refusePath(innerPath, why); };
    if (innerPath.empty()) throw HpiError("an archive path cannot be empty");
    std::string joined;
    for (const std::string& part : splitForWriting(innerPath)) {
        if (part.empty()) refuse("empty path component");
        if (part.find('\0') != std::string::npos) refuse("NUL character in the path");
        if (!IsWindows1252Encodable(part)) refuse("character the archive's code page lacks");
        if (!joined.empty()) joined += '\\';
        joined += part;
    }
    if (EncodeWindows1252(joined).size() > hpi::kMaxPathBytes) {
        refuse("longer than " + std::to_string(hpi::kMaxPathBytes) + " bytes");
    }

    std::string folded = FoldCase(joined);
    if (m_files.count(folded)) refuse("already in the archive");
    // A file cannot share its name with a directory of another path.
    for (std::size_t sep = folded.find('\\'); sep != std::string::npos;
         sep = folded.find('\\', sep + 1)) {
        if (m_files.count(folded.substr(0, sep))) refuse("a file of the archive is in the way");
    }
    auto below = m_files.lower_bound(folded + '\\');
    if (below != m_files.end() && below->first.starts_with(folded + '\\')) {
        refuse("a directory of that name is already in the archive");
    }
    return {std::move(joined), std::move(folded)};
}

void HpiWriter::addFile(std::string_view innerPath, std::vector<std::uint8_t> data,
                        HpiFileEncoding encoding) {
    auto [joined, folded] = checkedPath(innerPath);
    auto refuse = [&](const std::string& why) { refusePath(innerPath, why); };
    if (data.size() >= hpi::kMaxArchiveSize) refuse("a file of 2 GiB or more");
    if (encoding.compression == HpiCompression::Lz77 && !m_lz77) {
        refuse("LZ77 needs a compressor (setLz77Compressor)");
    }
    auto encoded = std::make_shared<const HpiEncodedFile>(EncodeHpiFile(data, encoding, m_lz77));
    m_files.emplace(std::move(folded), File{std::move(joined), std::move(encoded)});
}

void HpiWriter::addEncodedFile(std::string_view innerPath,
                               std::shared_ptr<const HpiEncodedFile> file) {
    auto [joined, folded] = checkedPath(innerPath);
    auto refuse = [&](const std::string& why) { refusePath(innerPath, why); };
    if (!file) refuse("no file given");
    if (file->size >= hpi::kMaxArchiveSize) refuse("a file of 2 GiB or more");
    // Cheap checks that the data can be what EncodeHpiFile made of `size`
    // bytes: the reader would refuse the file otherwise.
    std::size_t chunks = chunkCount(file->size);
    bool fits = false;
    switch (file->compression) {
        case HpiCompression::Stored:
            fits = file->data.size() == file->size;
            break;
        case HpiCompression::Lz77:
        case HpiCompression::Zlib:
            fits = file->data.size() >= chunks * (4 + hpi::kChunkHeaderSize);
            break;
    }
    if (!fits) refuse("the encoded data does not fit its size and compression");
    m_files.emplace(std::move(folded), File{std::move(joined), std::move(file)});
}

bool HpiWriter::contains(std::string_view innerPath) const {
    std::string joined;
    for (const std::string& part : splitForWriting(innerPath)) {
        if (!joined.empty()) joined += '\\';
        joined += part;
    }
    return m_files.count(FoldCase(joined)) != 0;
}

// The header and directory block (before the archive key) and the files in
// the order their data follows the block.
struct HpiWriter::Plan {
    std::vector<std::uint8_t> block;
    std::vector<const HpiEncodedFile*> files;
    Layout layout;
};

// Lays the whole archive out before a byte of it is handed over: the data
// offsets follow from the encoded sizes, so the directory block is complete
// at once and the archive can be streamed in file order.
HpiWriter::Plan HpiWriter::plan() const {
    struct Node {
        std::string name;  // UTF-8
        const File* file = nullptr;
        std::vector<std::unique_ptr<Node>> children;
        std::unordered_map<std::string, Node*> byFolded;

        Node& child(const std::string& childName) {
            Node*& slot = byFolded[FoldCase(childName)];
            if (!slot) {
                children.push_back(std::make_unique<Node>());
                slot = children.back().get();
                slot->name = childName;
            }
            return *slot;
        }
        void sort() {
            std::sort(children.begin(), children.end(),
                      [](const auto& a, const auto& b) { return LessNoCase(a->name, b->name); });
            for (auto& c : children) c->sort();
        }
    };
    Node root;
    for (const auto& [folded, file] : m_files) {
        Node* node = &root;
        for (const std::string& part : splitForWriting(file.path)) node = &node->child(part);
        node->file = &file;
    }
    root.sort();

    Plan plan;
    std::vector<std::uint8_t>& block = plan.block;
    block.assign(hpi::kHeaderSize, 0);
    struct PendingFile {
        const File* file;
        std::size_t record;
    };
    std::vector<PendingFile> pending;

    // The directory block: each record directly followed by its entries,
    // then every entry's name and record (or sub-directory), depth first.
    auto emitDirectory = [&](auto& self, const Node& dir) -> void {
        std::size_t record = block.size();
        std::size_t entries = record + hpi::kDirectoryRecordSize;
        block.resize(entries + dir.children.size() * hpi::kEntrySize, 0);
        patchU32(block, record, dir.children.size());
        patchU32(block, record + 4, entries);
        for (std::size_t i = 0; i < dir.children.size(); ++i) {
            const Node& child = *dir.children[i];
            std::size_t entry = entries + i * hpi::kEntrySize;
            patchU32(block, entry, block.size());
            std::string name = EncodeWindows1252(child.name);
            block.insert(block.end(), name.begin(), name.end());
            block.push_back(0);
            patchU32(block, entry + 4, block.size());
            if (child.file) {
                block[entry + 8] = 0;
                pending.push_back({child.file, block.size()});
                block.resize(block.size() + hpi::kFileRecordSize, 0);
            } else {
                block[entry + 8] = 1;
                self(self, child);
            }
        }
    };
    emitDirectory(emitDirectory, root);

    Layout& layout = plan.layout;
    layout.directoryEnd = block.size();
    std::uint64_t offset = block.size();
    for (const PendingFile& entry : pending) {
        const HpiEncodedFile& file = *entry.file->encoded;
        if (offset + file.data.size() + hpi::kTrailerSize >= hpi::kMaxArchiveSize) {
            throw HpiError("the archive would reach 2 GiB");
        }
        patchU32(block, entry.record, offset);
        patchU32(block, entry.record + 4, file.size);
        block[entry.record + 8] = static_cast<std::uint8_t>(file.compression);
        layout.dataBytes[entry.file->path] = file.data.size();
        plan.files.push_back(&file);
        offset += file.data.size();
    }
    layout.totalBytes = offset + hpi::kTrailerSize;

    std::copy(hpi::kMarker.begin(), hpi::kMarker.end(), block.begin());
    patchU32(block, 4, hpi::kVersion1);
    patchU32(block, 8, layout.directoryEnd);
    patchU32(block, 12, m_key);
    patchU32(block, 16, hpi::kRootOffset);
    return plan;
}

std::vector<std::uint8_t> HpiWriter::build(Layout* layout) const {
    Plan planned = plan();
    std::vector<std::uint8_t> out;
    out.reserve(planned.layout.totalBytes);
    auto sink = [&](std::span<const std::uint8_t> bytes) {
        out.insert(out.end(), bytes.begin(), bytes.end());
    };
    emitArchive(planned.block, planned.files, m_key, m_year, sink);
    if (layout) *layout = std::move(planned.layout);
    return out;
}

void HpiWriter::write(const std::filesystem::path& path, Layout* layout) const {
    Plan planned = plan();  // refuses an archive of 2 GiB before touching the disk

    // A name of its own beside the target, so that two writers of one target
    // do not write into each other's file.
    std::random_device random;
    std::filesystem::path temp = path;
    temp += ".tmp-" + std::to_string(random() % 1000000);
    RemoveUnlessKept cleanup(temp);
    {
        std::vector<char> buffer(kWriteBuffer);
        std::ofstream out;
        out.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        out.open(temp, std::ios::binary | std::ios::trunc);
        auto sink = [&](std::span<const std::uint8_t> bytes) {
            if (!out) return;  // failed already: reported below
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
        };
        emitArchive(planned.block, planned.files, m_key, m_year, sink);
        out.close();
        if (!out) throw FileError("Cannot write " + Utf8FromPath(path));
    }
    std::error_code error;
    std::filesystem::rename(temp, path, error);  // replacing the target is the point here
    if (error) throw FileError("Cannot write " + Utf8FromPath(path) + ": " + error.message());
    cleanup.keep();
    if (layout) *layout = std::move(planned.layout);
}

}  // namespace kloxmere
