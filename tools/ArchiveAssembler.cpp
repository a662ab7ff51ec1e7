#include "tools/ArchiveAssembler.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <unordered_map>

#include <libdeflate.h>

#include "archive/HpiFormat.h"
#include "base/ByteStream.h"
#include "base/FileSystem.h"
#include "base/TextCase.h"
#include "base/Windows1252.h"
#include "tools/Lz77Encoder.h"

namespace kloxmere::tools {

namespace {

// HpiWriter's zlib level, so that both give the same bytes.
constexpr int kZlibLevel = 9;

libdeflate_compressor* threadCompressor() {
    struct Holder {
        libdeflate_compressor* compressor = libdeflate_alloc_compressor(kZlibLevel);
        ~Holder() { libdeflate_free_compressor(compressor); }
    };
    thread_local Holder holder;
    if (!holder.compressor) throw std::bad_alloc();
    return holder.compressor;
}

std::vector<std::uint8_t> compressChunk(std::span<const std::uint8_t> plain,
                                        HpiCompression compression) {
    if (compression == HpiCompression::Lz77) return EncodeLz77Chunk(plain);
    libdeflate_compressor* compressor = threadCompressor();
    std::vector<std::uint8_t> payload(libdeflate_zlib_compress_bound(compressor, plain.size()));
    std::size_t size = libdeflate_zlib_compress(compressor, plain.data(), plain.size(),
                                                payload.data(), payload.size());
    if (size == 0) throw std::runtime_error("zlib compression failed");
    payload.resize(size);
    return payload;
}

std::vector<std::string> splitPath(std::string_view path) {
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

void putU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value) {
    StoreU32(bytes.data() + at, static_cast<std::uint32_t>(value));
}

}  // namespace

EncodedFile EncodeArchiveFile(std::span<const std::uint8_t> content, HpiFileEncoding encoding) {
    if (content.size() >= hpi::kMaxArchiveSize) throw std::runtime_error("a file of 2 GiB or more");
    EncodedFile file;
    file.size = static_cast<std::uint32_t>(content.size());
    file.compression = encoding.compression;
    if (encoding.compression == HpiCompression::Stored) {
        file.data.assign(content.begin(), content.end());
        return file;
    }
    std::size_t chunks = (content.size() + hpi::kChunkSize - 1) / hpi::kChunkSize;
    std::vector<std::uint8_t>& out = file.data;
    out.resize(chunks * 4);
    for (std::size_t k = 0; k < chunks; ++k) {
        auto plain = content.subspan(
            k * hpi::kChunkSize,
            std::min<std::size_t>(hpi::kChunkSize, content.size() - k * hpi::kChunkSize));
        std::vector<std::uint8_t> payload = compressChunk(plain, encoding.compression);
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
        putU32(out, header + 7, payload.size());
        putU32(out, header + 11, plain.size());
        putU32(out, header + 15, checksum);
        out.insert(out.end(), payload.begin(), payload.end());
        putU32(out, k * 4, hpi::kChunkHeaderSize + payload.size());
    }
    return file;
}

// One directory of the tree, or one file.
struct ArchiveAssembler::Node {
    std::string name;
    const std::pair<std::string, std::shared_ptr<const EncodedFile>>* file = nullptr;
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

ArchiveAssembler::ArchiveAssembler(std::uint8_t key, std::string year)
    : m_key(key), m_year(std::move(year)) {
    if (m_year.size() != 4)
        throw std::runtime_error("the trailer's year must be four characters: " + m_year);
}

bool ArchiveAssembler::add(std::string_view innerPath, std::shared_ptr<const EncodedFile> file) {
    std::string joined;
    for (const std::string& part : splitPath(innerPath)) {
        if (part.empty())
            throw std::runtime_error(std::string(innerPath) + ": empty path component");
        if (!joined.empty()) joined += '\\';
        joined += part;
    }
    if (EncodeWindows1252(joined).size() > hpi::kMaxPathBytes)
        throw std::runtime_error(joined + ": path too long for the game");
    std::string folded = FoldCase(joined);
    return m_files.try_emplace(std::move(folded), std::move(joined), std::move(file)).second;
}

// Lays the archive out and hands its bytes, in file order, to `sink`: the
// directory block is computed whole first (the data offsets follow from the
// encoded sizes), so nothing has to be patched after it was handed over.
template <class Sink>
ArchiveAssembler::Summary ArchiveAssembler::emit(Sink& sink) const {
    Node root;
    for (const auto& [folded, entry] : m_files) {
        Node* node = &root;
        for (const std::string& part : splitPath(entry.first)) node = &node->child(part);
        node->file = &entry;
    }
    root.sort();

    std::vector<std::uint8_t> block(hpi::kHeaderSize, 0);
    struct Pending {
        const std::pair<std::string, std::shared_ptr<const EncodedFile>>* file;
        std::size_t record;
    };
    std::vector<Pending> pending;
    auto emitDirectory = [&](auto& self, const Node& dir) -> void {
        std::size_t record = block.size();
        std::size_t entries = record + hpi::kDirectoryRecordSize;
        block.resize(entries + dir.children.size() * hpi::kEntrySize, 0);
        putU32(block, record, dir.children.size());
        putU32(block, record + 4, entries);
        for (std::size_t i = 0; i < dir.children.size(); ++i) {
            const Node& child = *dir.children[i];
            std::size_t entry = entries + i * hpi::kEntrySize;
            putU32(block, entry, block.size());
            std::string name = EncodeWindows1252(child.name);
            block.insert(block.end(), name.begin(), name.end());
            block.push_back(0);
            putU32(block, entry + 4, block.size());
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

    Summary summary;
    summary.directoryEnd = block.size();
    std::uint64_t offset = block.size();
    for (const Pending& entry : pending) {
        const EncodedFile& file = *entry.file->second;
        putU32(block, entry.record, offset);
        putU32(block, entry.record + 4, file.size);
        block[entry.record + 8] = static_cast<std::uint8_t>(file.compression);
        summary.dataBytes[entry.file->first] = file.data.size();
        offset += file.data.size();
        if (offset + hpi::kTrailerSize >= hpi::kMaxArchiveSize)
            throw std::runtime_error("the archive would reach 2 GiB");
    }

    std::copy(hpi::kMarker.begin(), hpi::kMarker.end(), block.begin());
    putU32(block, 4, hpi::kVersion1);
    putU32(block, 8, summary.directoryEnd);
    putU32(block, 12, m_key);
    putU32(block, 16, hpi::kRootOffset);

    const std::uint8_t key = hpi::ScrambleKey(m_key);
    std::vector<std::uint8_t> scratch;
    auto put = [&](std::uint64_t position, std::span<const std::uint8_t> bytes, bool scramble) {
        if (!scramble || key == 0) {
            sink(bytes);
            return;
        }
        scratch.assign(bytes.begin(), bytes.end());
        hpi::ApplyArchiveKey(key, position, scratch.data(), scratch.size());
        sink(std::span<const std::uint8_t>(scratch));
    };
    put(0, std::span(block).first(hpi::kHeaderSize), false);
    put(hpi::kRootOffset, std::span(block).subspan(hpi::kRootOffset), true);
    std::uint64_t position = block.size();
    for (const Pending& entry : pending) {
        const std::vector<std::uint8_t>& data = entry.file->second->data;
        put(position, data, true);
        position += data.size();
    }
    std::string trailer =
        std::string(hpi::kTrailerPrefix) + m_year + std::string(hpi::kTrailerSuffix);
    put(position, std::span(reinterpret_cast<const std::uint8_t*>(trailer.data()), trailer.size()),
        false);
    summary.totalBytes = position + trailer.size();
    return summary;
}

std::vector<std::uint8_t> ArchiveAssembler::build(Summary* summary) const {
    std::vector<std::uint8_t> out;
    auto sink = [&](std::span<const std::uint8_t> bytes) {
        out.insert(out.end(), bytes.begin(), bytes.end());
    };
    Summary made = emit(sink);
    if (summary) *summary = std::move(made);
    return out;
}

ArchiveAssembler::Summary ArchiveAssembler::write(const std::filesystem::path& path) const {
    std::filesystem::path partial = path;
    partial += ".part";
    std::error_code error;
    Summary summary;
    {
        std::vector<char> buffer(1 << 20);
        std::ofstream out;
        out.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        out.open(partial, std::ios::binary | std::ios::trunc);
        if (!out) throw std::runtime_error("cannot create " + Utf8FromPath(partial));
        auto sink = [&](std::span<const std::uint8_t> bytes) {
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
        };
        try {
            summary = emit(sink);
        } catch (...) {
            out.close();
            std::filesystem::remove(partial, error);
            throw;
        }
        out.close();
        if (!out) {
            std::filesystem::remove(partial, error);
            throw std::runtime_error("cannot write " + Utf8FromPath(partial));
        }
    }
    std::filesystem::rename(partial, path, error);
    if (error) {
        std::filesystem::remove(partial, error);
        throw std::runtime_error("cannot rename " + Utf8FromPath(partial) + " to " +
                                 Utf8FromPath(path));
    }
    return summary;
}

}  // namespace kloxmere::tools
