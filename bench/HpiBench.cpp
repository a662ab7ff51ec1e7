// Archive reading speed: opening an archive, listing it, and extracting its
// files (zlib and LZ77). The archives are generated once, shaped like a
// mod's: many small definition files and fewer large models and pictures.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "archive/HpiArchive.h"
#include "archive/HpiWriter.h"
#include "tools/Lz77Encoder.h"

namespace {

using namespace kloxmere;
namespace fs = std::filesystem;

// Text-like bytes that compress about as well as the game's files.
std::vector<std::uint8_t> contentBytes(std::size_t size, std::uint32_t seed) {
    static constexpr std::string_view kWords[] = {
        "[UNITINFO]",    "{",           "}",        "Name=", "Commander", "BuildTime=",
        "MaxDamage=",    "weapon1=",    "\r\n",     "\t",    "1500;",     "Description=",
        "FootprintX=2;", "Objectname=", "Side=ARM;"};
    std::mt19937 random(seed);
    std::vector<std::uint8_t> out;
    out.reserve(size + 16);
    while (out.size() < size) {
        if (random() % 6 == 0) {
            out.push_back(static_cast<std::uint8_t>(random()));
        } else {
            auto word = kWords[random() % std::size(kWords)];
            out.insert(out.end(), word.begin(), word.end());
        }
    }
    out.resize(size);
    return out;
}

struct BenchArchive {
    fs::path path;
    std::uint64_t fileBytes = 0;
    std::size_t files = 0;
};

// 300 unit definitions of 3 KB, 100 scripts of 20 KB, 40 models of 120 KB.
BenchArchive makeArchive(const fs::path& dir, HpiCompression compression) {
    HpiWriter writer(compression == HpiCompression::Lz77 ? 0x7D : 0);
    writer.setLz77Compressor(
        [](std::span<const std::uint8_t> chunk) { return tools::EncodeLz77Chunk(chunk); });
    BenchArchive archive;
    auto add = [&](const std::string& path, std::size_t size, std::uint32_t seed) {
        writer.addFile(path, contentBytes(size, seed), {compression, false});
        archive.fileBytes += size;
        ++archive.files;
    };
    for (std::uint32_t i = 0; i < 300; ++i) {
        add("units\\UNIT" + std::to_string(i) + ".FBI", 3000, i);
    }
    for (std::uint32_t i = 0; i < 100; ++i) {
        add("scripts\\UNIT" + std::to_string(i) + ".COB", 20000, 1000 + i);
    }
    for (std::uint32_t i = 0; i < 40; ++i) {
        add("objects3d\\UNIT" + std::to_string(i) + ".3DO", 120000, 2000 + i);
    }
    archive.path = dir / (std::string(HpiCompressionName(compression)) + ".hpi");
    writer.write(archive.path);
    return archive;
}

struct Archives {
    fs::path dir;
    BenchArchive zlib;
    BenchArchive lz77;

    Archives() {
        dir = fs::temp_directory_path() /
              ("kloxmere-bench-" + std::to_string(std::random_device()()));
        fs::create_directories(dir);
        zlib = makeArchive(dir, HpiCompression::Zlib);
        lz77 = makeArchive(dir, HpiCompression::Lz77);
    }
    ~Archives() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    const BenchArchive& get(HpiCompression compression) const {
        return compression == HpiCompression::Lz77 ? lz77 : zlib;
    }
};

const Archives& archives() {
    static Archives instance;
    return instance;
}

void BM_OpenArchive(benchmark::State& state) {
    const BenchArchive& archive = archives().zlib;
    ResetHpiBytesRead();
    for (auto _ : state) {
        auto opened = HpiArchive::open(archive.path);
        benchmark::DoNotOptimize(opened.get());
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["bytes_read_per_open"] =
        static_cast<double>(HpiBytesRead()) / static_cast<double>(state.iterations());
    state.counters["archive_bytes"] = static_cast<double>(fs::file_size(archive.path));
}
BENCHMARK(BM_OpenArchive);

void BM_ListFiles(benchmark::State& state) {
    auto opened = HpiArchive::open(archives().zlib.path);
    std::size_t listed = 0;
    for (auto _ : state) {
        auto files = opened->listFiles();
        listed += files.size();
        benchmark::DoNotOptimize(files.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(listed));
}
BENCHMARK(BM_ListFiles);

void BM_ExtractAll(benchmark::State& state) {
    auto compression = static_cast<HpiCompression>(state.range(0));
    const BenchArchive& archive = archives().get(compression);
    auto opened = HpiArchive::open(archive.path);
    auto files = opened->listFiles();
    ResetHpiBytesRead();
    for (auto _ : state) {
        for (const HpiFileInfo& file : files) {
            auto bytes = opened->extract(file.path);
            benchmark::DoNotOptimize(bytes.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(archive.fileBytes) * state.iterations());
    state.SetItemsProcessed(static_cast<std::int64_t>(files.size()) * state.iterations());
    state.counters["read_per_pass"] =
        static_cast<double>(HpiBytesRead()) / static_cast<double>(state.iterations());
    state.SetLabel(HpiCompressionName(compression));
}
BENCHMARK(BM_ExtractAll)
    ->Arg(static_cast<int>(HpiCompression::Zlib))
    ->Arg(static_cast<int>(HpiCompression::Lz77))
    ->Unit(benchmark::kMillisecond);

// What a scan does: open, then read only the unit definitions.
void BM_ScanDefinitions(benchmark::State& state) {
    const BenchArchive& archive = archives().zlib;
    ResetHpiBytesRead();
    std::int64_t items = 0, bytes = 0;
    for (auto _ : state) {
        auto opened = HpiArchive::open(archive.path);
        const auto* units = opened->listDirectory("units");
        for (const HpiDirEntry& entry : *units) {
            auto data = opened->extract("units\\" + entry.name);
            bytes += static_cast<std::int64_t>(data.size());
            ++items;
        }
    }
    state.SetItemsProcessed(items);
    state.SetBytesProcessed(bytes);
    state.counters["fraction_of_archive_read"] =
        static_cast<double>(HpiBytesRead()) / (static_cast<double>(state.iterations()) *
                                               static_cast<double>(fs::file_size(archive.path)));
}
BENCHMARK(BM_ScanDefinitions)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
