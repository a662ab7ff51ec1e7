#include "graphics/modPCX.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/TempDir.h"

using namespace kloxmere;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct PcxHeader {
    std::int16_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::uint8_t version = 5, bitsPerPixel = 8, planes = 1;
};

PcxHeader sized(int width, int height) {
    return {.xMax = static_cast<std::int16_t>(width - 1),
            .yMax = static_cast<std::int16_t>(height - 1)};
}

// Runs of up to 63 that may cross row ends; pixels of 192 and above are always runs.
Bytes encodeRuns(const Bytes& pixels) {
    Bytes out;
    for (std::size_t i = 0, run = 1; i < pixels.size(); i += run, run = 1) {
        while (i + run < pixels.size() && run < 63 && pixels[i + run] == pixels[i]) {
            ++run;
        }
        if (run > 1 || pixels[i] >= 0xC0) {
            out.push_back(static_cast<std::uint8_t>(0xC0 | run));
        }
        out.push_back(pixels[i]);
    }
    return out;
}

// Header, the run stream, marker 12, then a palette of 768 bytes of 0x55.
Bytes buildPcx(const PcxHeader& h, const Bytes& encoded) {
    Bytes file(128 + encoded.size() + 1 + 768, 0x55);
    std::fill_n(file.begin(), 128, 0);
    std::copy(encoded.begin(), encoded.end(), file.begin() + 128);
    file[128 + encoded.size()] = 12;
    file[1] = h.version;
    file[3] = h.bitsPerPixel;
    file[65] = h.planes;
    const std::int16_t edges[] = {h.xMin, h.yMin, h.xMax, h.yMax};
    for (int i = 0; i < 4; ++i) {
        file[4 + 2 * i] = static_cast<std::uint8_t>(edges[i]);
        file[5 + 2 * i] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(edges[i]) >> 8);
    }
    return file;
}

PcxPicture decoded(const Bytes& file) {
    PcxPicture picture;
    std::string reason;
    EXPECT_TRUE(LoadPCX(file, picture, &reason)) << reason;
    return picture;
}

}  // namespace

TEST(LoadPCX, DecodesEverySizeUpTo4096SquareBeyond16BitPixelCounts) {
    for (auto [width, height] : {std::pair{96, 96}, {300, 200}, {4096, 4096}}) {
        Bytes pixels(static_cast<std::size_t>(width * height));
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = static_cast<std::uint8_t>(i / 3);
        }
        PcxPicture picture = decoded(buildPcx(sized(width, height), encodeRuns(pixels)));
        EXPECT_EQ(picture.PcxWidth, width);
        EXPECT_EQ(picture.PcxHeight, height);
        EXPECT_TRUE(picture.PcxData == pixels);
    }
    PcxPicture offset =
        decoded(buildPcx({.xMin = -3, .yMin = 1000, .xMax = 2, .yMax = 1001}, {0xCC, 9}));
    EXPECT_EQ(offset.PcxWidth, 6);
    EXPECT_EQ(offset.PcxHeight, 2);
}

TEST(LoadPCX, RunAndSingleBytes) {
    // Five of 16, one of 191, a 0xC0 run that stores nothing, one of 200, one of 0.
    Bytes encoded = {0xC5, 0x10, 0xBF, 0xC0, 0x33, 0xC1, 0xC8, 0};
    EXPECT_EQ(decoded(buildPcx(sized(8, 1), encoded)).PcxData,
              (Bytes{16, 16, 16, 16, 16, 191, 200, 0}));
}

TEST(LoadPCX, RunCarriesOnPastTheRightEdgeIntoTheNextRow) {
    Bytes encoded = {0xC6, 1, 0xCA, 7, 0xC4, 2};  // 6 + 10 + 4 pixels, 10 per row
    EXPECT_EQ(decoded(buildPcx(sized(10, 2), encoded)).PcxData,
              (Bytes{1, 1, 1, 1, 1, 1, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 2, 2, 2, 2}));
}

TEST(LoadPCX, DamagedOrForeignFilesAreRefused) {
    Bytes good = buildPcx(sized(2, 2), {0xC4, 1});
    Bytes badMarker = good;
    badMarker[good.size() - 769] = 11;
    const std::pair<const char*, Bytes> cases[] = {
        {"version 3", buildPcx({.xMax = 1, .yMax = 1, .version = 3}, {0xC4, 1})},
        {"24-bit in three planes",
         buildPcx({.xMax = 1, .yMax = 1, .planes = 3}, {0xC4, 1, 0xC4, 2, 0xC4, 3})},
        {"4 bits per pixel", buildPcx({.xMax = 1, .yMax = 1, .bitsPerPixel = 4}, {0xC4, 1})},
        {"wrong palette marker, pixels intact", badMarker},
        {"4097 wide", buildPcx(sized(4097, 1), encodeRuns(Bytes(4097, 0)))},
        {"4097 high", buildPcx(sized(1, 4097), encodeRuns(Bytes(4097, 0)))},
        {"XMax below XMin", buildPcx({.xMin = 5, .xMax = 4}, {0})},
        {"YMax below YMin", buildPcx({.yMin = 1, .yMax = 0}, {0})},
        // The marker and palette that follow must not complete the pixels.
        {"pixel data ends early", buildPcx(sized(2, 2), {0xC3, 1})},
        {"pixel data ends inside a run", buildPcx(sized(2, 2), {0xC3, 1, 0xC1})},
        {"last run overruns", buildPcx(sized(2, 2), {0xC3, 1, 0xC2, 1})},
        {"header only", Bytes(good.begin(), good.begin() + 128)},
    };
    for (const auto& [what, file] : cases) {
        PcxPicture picture{.PcxWidth = 1, .PcxHeight = 1, .PcxData = {7}};
        EXPECT_FALSE(LoadPCX(file, picture)) << what;
        EXPECT_TRUE(picture.PcxWidth == 0 && picture.PcxHeight == 0 && picture.PcxData.empty());
    }
}

TEST(LoadPCX, ReadsFromAFileAndNamesItWhenItFails) {
    test::TempDir dir;
    dir.write("good.pcx", buildPcx(sized(2, 2), {0xC4, 9}));
    dir.write("bad.pcx", buildPcx(sized(2, 2), {0xC5, 9}));
    PcxPicture picture;
    std::string reason;
    EXPECT_TRUE(LoadPCX(dir.path() / "good.pcx", picture, &reason));
    EXPECT_EQ(picture.PcxData, (Bytes{9, 9, 9, 9}));
    for (const char* name : {"bad.pcx", "missing.pcx"}) {
        EXPECT_FALSE(LoadPCX(dir.path() / name, picture, &reason));
        EXPECT_NE(reason.find(name), std::string::npos) << reason;
    }
    EXPECT_FALSE(LoadPCX(dir.path(), picture));  // a directory
}
