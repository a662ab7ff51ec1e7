#include "archive/HpiWriter.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <unordered_map>

#include <libdeflate.h>

#include "archive/HpiFormat.h"
#include "base/ByteStream.h"
#include "base/FileSystem.h"
#include "base/TextCase.h"
#include "base/Windows1252.h"

namespace kloxmere {

namespace {

constexpr int kZlibLevel = 9;

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

void patchU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    StoreU32(bytes.data() + at, value);
}

struct DeflateCompressor {
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(kZlibLevel);
    ~DeflateCompressor() { libdeflate_free_compressor(compressor); }
};

}  // namespace

HpiWriter::HpiWriter(std::uint8_t key) : m_key(key), m_year(currentYear()) {}

void HpiWriter::setLz77Compressor(HpiChunkCompressor compressor) {
    m_lz77 = std::move(compressor);
}

void HpiWriter::setTrailerYear(std::string year) {
    if (year.size() != 4) throw HpiError("the trailer's year must be four characters: " + year);
    m_year = std::move(year);
}

void HpiWriter::addFile(std::string_view innerPath, std::vector<std::uint8_t> data,
                        HpiFileEncoding encoding) {
    const std::string shown(innerPath);
    auto refuse = [&](const std::string& why) { throw HpiError(shown + ": " + why); };
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
    if (data.size() >= hpi::kMaxArchiveSize) refuse("a file of 2 GiB or more");
    if (encoding.compression == HpiCompression::Lz77 && !m_lz77) {
        refuse("LZ77 needs a compressor (setLz77Compressor)");
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
    m_files.emplace(std::move(folded), File{std::move(joined), std::move(data), encoding});
}

std::vector<std::uint8_t> HpiWriter::build() const {
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

    std::vector<std::uint8_t> out(hpi::kHeaderSize, 0);
    struct PendingFile {
        const File* file;
        std::size_t record;
    };
    std::vector<PendingFile> pending;

    // The directory block: each record directly followed by its entries,
    // then every entry's name and record (or sub-directory), depth first.
    auto emitDirectory = [&](auto& self, const Node& dir) -> void {
        std::size_t record = out.size();
        std::size_t entries = record + hpi::kDirectoryRecordSize;
        out.resize(entries + dir.children.size() * hpi::kEntrySize, 0);
        patchU32(out, record, static_cast<std::uint32_t>(dir.children.size()));
        patchU32(out, record + 4, static_cast<std::uint32_t>(entries));
        for (std::size_t i = 0; i < dir.children.size(); ++i) {
            const Node& child = *dir.children[i];
            std::size_t entry = entries + i * hpi::kEntrySize;
            patchU32(out, entry, static_cast<std::uint32_t>(out.size()));
            std::string name = EncodeWindows1252(child.name);
            out.insert(out.end(), name.begin(), name.end());
            out.push_back(0);
            patchU32(out, entry + 4, static_cast<std::uint32_t>(out.size()));
            if (child.file) {
                out[entry + 8] = 0;
                pending.push_back({child.file, out.size()});
                out.resize(out.size() + hpi::kFileRecordSize, 0);
            } else {
                out[entry + 8] = 1;
                self(self, child);
            }
        }
    };
    emitDirectory(emitDirectory, root);
    std::size_t directoryEnd = out.size();

    DeflateCompressor deflate;
    if (!deflate.compressor) throw std::bad_alloc();
    for (const PendingFile& entry : pending) {
        const File& file = *entry.file;
        patchU32(out, entry.record, static_cast<std::uint32_t>(out.size()));
        patchU32(out, entry.record + 4, static_cast<std::uint32_t>(file.data.size()));
        out[entry.record + 8] = static_cast<std::uint8_t>(file.encoding.compression);
        if (file.encoding.compression == HpiCompression::Stored) {
            out.insert(out.end(), file.data.begin(), file.data.end());
        } else {
            std::size_t chunks = (file.data.size() + hpi::kChunkSize - 1) / hpi::kChunkSize;
            std::size_t table = out.size();
            out.resize(table + chunks * 4, 0);
            for (std::size_t k = 0; k < chunks; ++k) {
                auto plain = std::span(file.data).subspan(
                    k * hpi::kChunkSize,
                    std::min<std::size_t>(hpi::kChunkSize, file.data.size() - k * hpi::kChunkSize));
                std::vector<std::uint8_t> payload;
                if (file.encoding.compression == HpiCompression::Lz77) {
                    payload = m_lz77(plain);
                } else {
                    payload.resize(
                        libdeflate_zlib_compress_bound(deflate.compressor, plain.size()));
                    std::size_t size =
                        libdeflate_zlib_compress(deflate.compressor, plain.data(), plain.size(),
                                                 payload.data(), payload.size());
                    if (size == 0) throw HpiError(file.path + ": zlib compression failed");
                    payload.resize(size);
                }
                std::uint32_t checksum = 0;
                for (std::size_t i = 0; i < payload.size(); ++i) {
                    if (file.encoding.scrambleChunks) {
                        payload[i] = hpi::ScrambleChunkByte(payload[i], i);
                    }
                    checksum += payload[i];
                }
                std::size_t header = out.size();
                out.resize(header + hpi::kChunkHeaderSize, 0);
                std::copy(hpi::kChunkMarker.begin(), hpi::kChunkMarker.end(), out.begin() + header);
                out[header + 4] = hpi::kChunkVersion;
                out[header + 5] = static_cast<std::uint8_t>(file.encoding.compression);
                out[header + 6] = file.encoding.scrambleChunks ? 1 : 0;
                patchU32(out, header + 7, static_cast<std::uint32_t>(payload.size()));
                patchU32(out, header + 11, static_cast<std::uint32_t>(plain.size()));
                patchU32(out, header + 15, checksum);
                out.insert(out.end(), payload.begin(), payload.end());
                patchU32(out, table + k * 4,
                         static_cast<std::uint32_t>(hpi::kChunkHeaderSize + payload.size()));
            }
        }
        if (out.size() + hpi::kTrailerSize >= hpi::kMaxArchiveSize) {
            throw HpiError("the archive would reach 2 GiB");
        }
    }

    hpi::ApplyArchiveKey(hpi::ScrambleKey(m_key), hpi::kRootOffset, out.data() + hpi::kRootOffset,
                         out.size() - hpi::kRootOffset);

    std::copy(hpi::kMarker.begin(), hpi::kMarker.end(), out.begin());
    patchU32(out, 4, hpi::kVersion1);
    patchU32(out, 8, static_cast<std::uint32_t>(directoryEnd));
    patchU32(out, 12, m_key);
    patchU32(out, 16, hpi::kRootOffset);

    std::string trailer =
        std::string(hpi::kTrailerPrefix) + m_year + std::string(hpi::kTrailerSuffix);
    out.insert(out.end(), trailer.begin(), trailer.end());
    return out;
}

void HpiWriter::write(const std::filesystem::path& path) const {
    std::vector<std::uint8_t> bytes = build();
    WriteFileAtomically(path, bytes);
}

}  // namespace kloxmere
