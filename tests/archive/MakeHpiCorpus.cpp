// Writes the seed corpus of the archive reader's fuzzer: a few tiny
// archives covering every encoding, key and layout feature.
// Usage: kloxmere_make_hpi_corpus OUTPUT-DIRECTORY

#include <cstdio>
#include <filesystem>
#include <string>

#include "archive/HpiWriter.h"
#include "base/FileSystem.h"
#include "tests/archive/HpiTestSupport.h"

using namespace kloxmere;
using kloxmere::test::MakeWriter;
using kloxmere::test::SampleBytes;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-DIRECTORY\n", argv[0]);
        return 2;
    }
    std::filesystem::path out = argv[1];
    auto save = [&](const char* name, HpiWriter& writer) {
        writer.setTrailerYear("1997");  // the same bytes every time
        writer.write(out / name);
    };

    HpiWriter empty = MakeWriter();
    save("empty.hpi", empty);

    HpiWriter stored = MakeWriter();
    stored.addFile("units\\ARMCOM.FBI", SampleBytes(60, 1), {HpiCompression::Stored, false});
    stored.addFile("readme.txt", {}, {HpiCompression::Stored, false});
    save("stored.hpi", stored);

    HpiWriter lz77 = MakeWriter(0x7D);
    lz77.addFile("units\\CORCOM.FBI", SampleBytes(300, 2), {HpiCompression::Lz77, true});
    lz77.addFile("weapons\\Weapons.tdf", SampleBytes(200, 3), {HpiCompression::Lz77, false});
    save("lz77-key.ccx", lz77);

    HpiWriter zlib = MakeWriter(0xFF);
    zlib.addFile("download\\Sub\\deeper\\menu.tdf", SampleBytes(120, 4));
    zlib.addFile("a.bin", std::vector<std::uint8_t>(70000, 'a'), {HpiCompression::Zlib, true});
    zlib.addFile("download\\Ölwerk.tdf", SampleBytes(40, 5), {HpiCompression::Zlib, false});
    save("zlib-nested.ufo", zlib);

    HpiWriter mixed = MakeWriter();
    mixed.addFile("x\\s.txt", SampleBytes(30, 6), {HpiCompression::Stored, false});
    mixed.addFile("x\\l.txt", SampleBytes(90, 7), {HpiCompression::Lz77, false});
    mixed.addFile("x\\z.txt", SampleBytes(90, 8), {HpiCompression::Zlib, false});
    save("mixed.hpi", mixed);
    return 0;
}
