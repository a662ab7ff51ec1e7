#include "tools/FillerContent.h"

#include <algorithm>
#include <string_view>

#include "tools/DeterministicRandom.h"
#include "tools/Lz77Encoder.h"

namespace kloxmere::tools {

namespace {

using Bytes = std::vector<std::uint8_t>;

void putU16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void putU32(Bytes& out, std::uint32_t v) {
    putU16(out, v & 0xFFFF);
    putU16(out, v >> 16);
}
void putText(Bytes& out, std::string_view text, bool terminate = true) {
    for (char c : text) out.push_back(static_cast<std::uint8_t>(c));
    if (terminate) out.push_back(0);
}

// Smooth values in [0, 1) over a plane: random values on a lattice of
// `cell`-pixel squares, interpolated between, the way terrain and shading vary.
class SmoothField {
  public:
    SmoothField(std::uint64_t seed, int cell) : m_seed(seed), m_cell(cell) {}

    double at(int x, int y) const {
        int cx = x / m_cell, cy = y / m_cell;
        double fx = static_cast<double>(x % m_cell) / m_cell;
        double fy = static_cast<double>(y % m_cell) / m_cell;
        double top = lattice(cx, cy) * (1 - fx) + lattice(cx + 1, cy) * fx;
        double bottom = lattice(cx, cy + 1) * (1 - fx) + lattice(cx + 1, cy + 1) * fx;
        return top * (1 - fy) + bottom * fy;
    }

  private:
    double lattice(int x, int y) const {
        std::uint64_t h =
            DeterministicRandom::Derive(m_seed, static_cast<std::uint64_t>(x) * 73856093u ^
                                                    static_cast<std::uint64_t>(y) * 19349663u);
        return static_cast<double>(h >> 11) * 0x1.0p-53;
    }
    std::uint64_t m_seed;
    int m_cell;
};

// A palette index for a shaded surface: a band of 16 shades of one hue,
// with the dithering noise of a rendered picture.
std::uint8_t shadePixel(int hueBand, double light, DeterministicRandom& random, int noise) {
    int shade = static_cast<int>(light * 15.0) + (noise ? random.between(-noise, noise) : 0);
    return static_cast<std::uint8_t>(16 + hueBand * 16 + std::clamp(shade, 0, 15));
}

// Object records, fixed-point vertices that stay near each other, primitives
// with vertex index lists, and texture names.
Bytes makeModel(std::size_t size, DeterministicRandom& random) {
    static constexpr std::string_view kPieces[] = {"base",  "turret", "sleeve", "barrel", "flare",
                                                   "wheel", "track",  "door",   "pad",    "arm"};
    static constexpr std::string_view kTextures[] = {"metalplate01", "darksteel", "glass2",
                                                     "hazardstripe", "panel07",   "rivets3",
                                                     "vent_a",       "teamcolour"};
    Bytes out;
    while (out.size() < size) {
        int vertices = random.between(8, 60), primitives = random.between(6, 50);
        putU32(out, 1);
        putU32(out, static_cast<std::uint32_t>(vertices));
        putU32(out, static_cast<std::uint32_t>(primitives));
        putU32(out, 0xFFFFFFFFu);
        for (int i = 0; i < 3; ++i)
            putU32(out, static_cast<std::uint32_t>(random.between(-40, 40) * 65536));
        for (int i = 0; i < 6; ++i)
            putU32(out, static_cast<std::uint32_t>(out.size() + random.below(4096)));
        putText(out, random.pick(kPieces));
        int x = 0, y = 0, z = 0;
        for (int v = 0; v < vertices; ++v) {
            x += random.between(-6, 6) * 32768;
            y += random.between(-3, 6) * 16384;
            z += random.between(-6, 6) * 32768;
            putU32(out, static_cast<std::uint32_t>(x));
            putU32(out, static_cast<std::uint32_t>(y));
            putU32(out, static_cast<std::uint32_t>(z));
        }
        for (int p = 0; p < primitives; ++p) {
            int corners = random.chance(0.7) ? 4 : 3;
            putU32(out, static_cast<std::uint32_t>(random.between(0, 255)));
            putU32(out, static_cast<std::uint32_t>(corners));
            putU32(out, 0);
            putU32(out, static_cast<std::uint32_t>(out.size() + 12));
            putU32(out, random.chance(0.6) ? static_cast<std::uint32_t>(out.size() + 20) : 0);
            for (int c = 0; c < corners; ++c)
                putU16(out, static_cast<std::uint32_t>(
                                random.below(static_cast<std::size_t>(vertices))));
            if (random.chance(0.6)) putText(out, random.pick(kTextures));
        }
    }
    out.resize(size);
    return out;
}

// A compiled unit script: a header, function and piece names, and code made
// of a few opcodes with small operands.
Bytes makeScript(std::size_t size, DeterministicRandom& random) {
    static constexpr std::uint32_t kOpcodes[] = {
        0x10021001, 0x10021002, 0x10022000, 0x10023002, 0x10031000, 0x10033000, 0x10041000,
        0x10042000, 0x10051000, 0x10052000, 0x10061000, 0x10062000, 0x10064000, 0x10065000,
        0x10066000, 0x10067000, 0x10071000, 0x10080000, 0x10011000, 0x10012000};
    static constexpr std::string_view kNames[] = {
        "Create",     "StartMoving", "StopMoving",   "Activate",       "Deactivate",
        "AimPrimary", "FirePrimary", "QueryPrimary", "AimFromPrimary", "Killed",
        "SweetSpot",  "SmokeUnit",   "base",         "turret",         "barrel",
        "flare",      "lwheel",      "rwheel",       "nano",           "beam"};
    Bytes out;
    putU32(out, 4);
    putU32(out, static_cast<std::uint32_t>(random.between(8, 20)));
    putU32(out, static_cast<std::uint32_t>(random.between(6, 20)));
    putU32(out, static_cast<std::uint32_t>(size / 4));
    for (int i = 0; i < 8; ++i) putU32(out, static_cast<std::uint32_t>(random.below(size)));
    std::size_t names = size / 10;
    while (out.size() < size - names) {
        putU32(out, random.pick(kOpcodes));
        int operands = random.between(0, 2);
        for (int i = 0; i < operands; ++i)
            putU32(out, static_cast<std::uint32_t>(random.chance(0.8) ? random.between(0, 40)
                                                                      : random.between(0, 65535)));
    }
    while (out.size() < size) putText(out, random.pick(kNames));
    out.resize(size);
    return out;
}

// A RIFF wave: 22,050 Hz mono 8-bit samples, two fading triangle tones over
// noise. Integer arithmetic only, so that every platform makes the same bytes.
Bytes makeSound(std::size_t size, DeterministicRandom& random) {
    Bytes out;
    putText(out, "RIFF", false);
    putU32(out, static_cast<std::uint32_t>(size - 8));
    putText(out, "WAVEfmt ", false);
    putU32(out, 16);
    putU16(out, 1);
    putU16(out, 1);
    putU32(out, 22050);
    putU32(out, 22050);
    putU16(out, 1);
    putU16(out, 8);
    putText(out, "data", false);
    std::size_t samples = size > 44 ? size - 44 : 0;
    putU32(out, static_cast<std::uint32_t>(samples));
    auto triangle = [](std::size_t t, int period) {
        int phase = static_cast<int>(t % static_cast<std::size_t>(period));
        int half = period / 2;
        return (phase < half ? phase : period - phase) * 200 / half - 100;  // -100 .. 100
    };
    int period1 = random.between(12, 90), period2 = random.between(90, 500);
    int noise = random.between(10, 40);
    for (std::size_t i = 0; i < samples; ++i) {
        // The level falls from 100 % to 20 % over the sound.
        int level = 100 - static_cast<int>(i * 80 / samples);
        int v = (triangle(i, period1) * 5 + triangle(i, period2) * 3) / 8;
        v = (v + random.between(-noise, noise)) * level / 100;
        out.push_back(static_cast<std::uint8_t>(std::clamp(128 + v, 0, 255)));
    }
    return out;
}

// Run-length rows of 8-bit pixels: "count | 0xC0" before a repeated byte,
// as both the picture and the animation formats store them.
void putRunLengthRow(Bytes& out, const Bytes& row) {
    for (std::size_t x = 0; x < row.size();) {
        std::size_t run = 1;
        while (x + run < row.size() && row[x + run] == row[x] && run < 63) ++run;
        if (run > 1 || row[x] >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | run));
        out.push_back(row[x]);
        x += run;
    }
}

// An animation file: named sequences of small sprite frames, transparent
// around a shaded, dithered shape.
Bytes makeAnimation(std::size_t size, DeterministicRandom& random) {
    static constexpr std::string_view kSequences[] = {"idle", "build", "fire", "burn",
                                                      "wake", "smoke", "glow", "debris"};
    Bytes out;
    putU32(out, 0x00010100);
    putU32(out, static_cast<std::uint32_t>(random.between(2, 12)));
    putU32(out, 0);
    int frame = 0;
    while (out.size() < size) {
        std::string name = std::string(random.pick(kSequences)) + std::to_string(frame++);
        putText(out, name);
        int width = random.between(24, 72), height = random.between(24, 72);
        putU16(out, static_cast<std::uint32_t>(width));
        putU16(out, static_cast<std::uint32_t>(height));
        int hue = random.between(0, 14);
        SmoothField light(random.next(), 12);
        for (int y = 0; y < height; ++y) {
            Bytes row(static_cast<std::size_t>(width));
            for (int x = 0; x < width; ++x) {
                double dx = (x - width / 2.0) / (width / 2.0),
                       dy = (y - height / 2.0) / (height / 2.0);
                bool inside = dx * dx + dy * dy < 0.8 + 0.2 * light.at(x, y);
                row[static_cast<std::size_t>(x)] =
                    inside ? shadePixel(hue, light.at(x, y), random, 1) : 9;  // 9: transparent
            }
            putRunLengthRow(out, row);
        }
    }
    out.resize(size);
    return out;
}

// A 96 x 96 build picture as the game stores it: a 128-byte header,
// run-length rows, the 256-colour palette after a 12 byte.
Bytes makePicture(DeterministicRandom& random) {
    constexpr int kSize = 96;
    Bytes out(128, 0);
    out[0] = 10;
    out[1] = 5;
    out[2] = 1;
    out[3] = 8;
    out[8] = out[10] = kSize - 1;
    out[65] = 1;
    out[66] = kSize;
    out[68] = 1;
    SmoothField sky(random.next(), 24), body(random.next(), 8);
    int skyHue = random.between(0, 14), bodyHue = random.between(0, 14);
    double cx = 48 + random.between(-8, 8), cy = 56 + random.between(-6, 6);
    double rx = random.between(24, 40), ry = random.between(14, 28);
    for (int y = 0; y < kSize; ++y) {
        Bytes row(kSize);
        for (int x = 0; x < kSize; ++x) {
            double dx = (x - cx) / rx, dy = (y - cy) / ry;
            bool unit = dx * dx + dy * dy < 1.0;
            row[static_cast<std::size_t>(x)] =
                unit ? shadePixel(bodyHue, body.at(x, y), random, 2)
                     : shadePixel(skyHue, sky.at(x, y) * 0.5, random, random.chance(0.3) ? 1 : 0);
        }
        putRunLengthRow(out, row);
    }
    out.push_back(12);
    for (int i = 0; i < 256; ++i) {
        int hue = i < 16 ? -1 : (i - 16) / 16, shade = i < 16 ? i : (i - 16) % 16;
        out.push_back(
            static_cast<std::uint8_t>(hue < 0 ? shade * 17 : (hue * 37 + shade * 11) & 0xFF));
        out.push_back(
            static_cast<std::uint8_t>(hue < 0 ? shade * 17 : (hue * 91 + shade * 13) & 0xFF));
        out.push_back(
            static_cast<std::uint8_t>(hue < 0 ? shade * 17 : (hue * 53 + shade * 15) & 0xFF));
    }
    return out;
}

// Square texture tiles of shaded, speckled surface, as terrain and unit
// textures hold them.
void putTiles(Bytes& out, std::size_t until, int tileSize, DeterministicRandom& random) {
    while (out.size() < until) {
        SmoothField light(random.next(), tileSize / 4);
        int hue = random.between(0, 14);
        for (int y = 0; y < tileSize; ++y) {
            for (int x = 0; x < tileSize; ++x)
                out.push_back(shadePixel(hue, light.at(x, y), random, random.chance(0.5) ? 1 : 0));
        }
    }
}

Bytes makeTexture(std::size_t size, DeterministicRandom& random) {
    Bytes out;
    putU32(out, 0x00010100);
    putU32(out, static_cast<std::uint32_t>(size / 1024));
    putU32(out, 0);
    putText(out, "texture" + std::to_string(random.below(1000)));
    putTiles(out, size, 32, random);
    out.resize(size);
    return out;
}

// A map: header, a smooth height map, tile indices that repeat, the tiles,
// and a small overview picture.
Bytes makeTerrain(std::size_t size, DeterministicRandom& random) {
    Bytes out;
    putU32(out, 0x2000);
    int width = random.between(64, 192), height = random.between(64, 192);
    putU32(out, static_cast<std::uint32_t>(width));
    putU32(out, static_cast<std::uint32_t>(height));
    for (int i = 0; i < 8; ++i) putU32(out, static_cast<std::uint32_t>(random.below(size)));
    SmoothField ground(random.next(), 16);
    std::size_t heights = std::min<std::size_t>(size / 4, static_cast<std::size_t>(width * height));
    for (std::size_t i = 0; i < heights; ++i) {
        int x = static_cast<int>(i % static_cast<std::size_t>(width)),
            y = static_cast<int>(i / static_cast<std::size_t>(width));
        out.push_back(static_cast<std::uint8_t>(ground.at(x, y) * 120 + random.below(3)));
    }
    std::size_t indices = size / 8;
    int tileCount = random.between(40, 400);
    for (std::size_t i = 0; i < indices / 2; ++i)
        putU16(out,
               static_cast<std::uint32_t>(
                   random.chance(0.6) ? i % 7 : random.below(static_cast<std::size_t>(tileCount))));
    putTiles(out, size - std::min<std::size_t>(size / 6, 252 * 252), 32, random);
    SmoothField overview(random.next(), 20);
    for (int i = 0; out.size() < size; ++i)
        out.push_back(shadePixel(i % 3, overview.at(i % 252, i / 252), random, 1));
    out.resize(size);
    return out;
}

std::size_t encodingSlot(HpiFileEncoding encoding) {
    return static_cast<std::size_t>(encoding.compression) * 2 + (encoding.scrambleChunks ? 1 : 0);
}

}  // namespace

FillerSizes FillerSizeRange(FillerKind kind) {
    switch (kind) {
        case FillerKind::Model:
            return {5 * 1024, 50 * 1024};
        case FillerKind::Script:
            return {2 * 1024, 16 * 1024};
        case FillerKind::Sound:
            return {6 * 1024, 60 * 1024};
        case FillerKind::Animation:
            return {8 * 1024, 90 * 1024};
        case FillerKind::Picture:
            return {96 * 96, 96 * 96};
        case FillerKind::Texture:
            return {20 * 1024, 150 * 1024};
        case FillerKind::Terrain:
            return {120 * 1024, 600 * 1024};
    }
    return {1024, 1024};
}

std::vector<std::uint8_t> MakeFillerContent(FillerKind kind, std::size_t size, std::uint64_t seed) {
    DeterministicRandom random(seed);
    size = std::max<std::size_t>(size, 64);
    switch (kind) {
        case FillerKind::Model:
            return makeModel(size, random);
        case FillerKind::Script:
            return makeScript(size, random);
        case FillerKind::Sound:
            return makeSound(size, random);
        case FillerKind::Animation:
            return makeAnimation(size, random);
        case FillerKind::Picture:
            return makePicture(random);
        case FillerKind::Texture:
            return makeTexture(size, random);
        case FillerKind::Terrain:
            return makeTerrain(size, random);
    }
    return {};
}

FillerPool::FillerPool(std::uint64_t seed, std::size_t variantsPerKind) {
    variantsPerKind = std::max<std::size_t>(variantsPerKind, 1);
    for (std::size_t kind = 0; kind < kFillerKinds; ++kind) {
        FillerSizes sizes = FillerSizeRange(static_cast<FillerKind>(kind));
        DeterministicRandom random(DeterministicRandom::Derive(seed, kind + 1));
        for (std::size_t i = 0; i < variantsPerKind; ++i) {
            auto variant = std::make_unique<Variant>();
            // More small files than large ones, as in the game's directories.
            double t =
                (static_cast<double>(i) + random.unit()) / static_cast<double>(variantsPerKind);
            variant->size =
                sizes.smallest + static_cast<std::size_t>(
                                     t * t * static_cast<double>(sizes.largest - sizes.smallest));
            variant->seed = random.next();
            m_variants[kind].push_back(std::move(variant));
        }
    }
}

FillerPool::~FillerPool() = default;

std::shared_ptr<const HpiEncodedFile> FillerPool::get(FillerKind kind, std::uint64_t selector,
                                                      HpiFileEncoding encoding) {
    auto& variants = m_variants[static_cast<std::size_t>(kind)];
    Variant& variant = *variants[selector % variants.size()];
    std::size_t slot = encodingSlot(encoding);
    std::call_once(variant.once[slot], [&] {
        std::vector<std::uint8_t> content = MakeFillerContent(kind, variant.size, variant.seed);
        variant.encoded[slot] = std::make_shared<const HpiEncodedFile>(
            EncodeHpiFile(content, encoding, EncodeLz77Chunk));
    });
    return variant.encoded[slot];
}

}  // namespace kloxmere::tools
