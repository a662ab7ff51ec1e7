#include "archive/Lz77.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/archive/HpiTestSupport.h"
#include "tools/Lz77Encoder.h"

using namespace kloxmere;

namespace {

using Bytes = std::vector<std::uint8_t>;

Lz77Result decode(const Bytes& input, Bytes& out) {
    return DecodeLz77Chunk(input, out);
}

TEST(Lz77Decoder, CopiesWrapAroundTheWindowAndReadTheirOwnOutput) {
    // 4,096 literals fill window indices 1..4095 and then 0. A copy of 3 bytes
    // from index 4095 reads 4095 and 0, then index 1, which its own first
    // byte has just overwritten.
    Bytes plain(4096), input;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        plain[i] = static_cast<std::uint8_t>(i * 7 + 3);
        if (i % 8 == 0) input.push_back(0);
        input.push_back(plain[i]);
    }
    std::uint16_t word = (4095 << 4) | (3 - 2);
    input.insert(input.end(), {0x03, static_cast<std::uint8_t>(word),
                               static_cast<std::uint8_t>(word >> 8), 0, 0});
    Bytes out(4096 + 3);
    ASSERT_EQ(decode(input, out), Lz77Result::Ok);
    EXPECT_EQ(out[4096], plain[4094]);
    EXPECT_EQ(out[4097], plain[4095]);
    EXPECT_EQ(out[4098], plain[4094]);
}

TEST(Lz77Decoder, DamagedStreamsFailInsteadOfRunningOn) {
    Bytes out(4);
    EXPECT_EQ(decode({0x00, 'a', 'b', 'c', 'd'}, out), Lz77Result::TruncatedInput);  // no end
    EXPECT_EQ(decode({}, out), Lz77Result::TruncatedInput);
    EXPECT_EQ(decode({0x01, 0x12}, out), Lz77Result::TruncatedInput);  // half a word
    EXPECT_EQ(decode({0x00, 'a', 'b', 'c', 'd', 'e'}, out), Lz77Result::Overrun);
    EXPECT_EQ(decode({0x04, 'a', 'b', 0x1F, 0x00}, out), Lz77Result::Overrun);
    EXPECT_EQ(decode({0x04, 'a', 'b', 0x00, 0x00}, out), Lz77Result::ShortOutput);
    Bytes empty;
    EXPECT_EQ(decode({0x01, 0x00, 0x00, 'x', 'y'}, empty), Lz77Result::Ok);  // bytes after the end
}

// The encoder of tools/ against this decoder, on data that provokes long and
// overlapping matches, the window's wrap and the rule against index 0.
TEST(Lz77Encoder, EveryChunkDecodesToItsInput) {
    std::mt19937 random(7);
    std::vector<Bytes> inputs = {Bytes{}, Bytes{42}, Bytes(65536, 0)};
    for (std::size_t size : {17u, 4095u, 4097u, 65536u}) {
        inputs.push_back(test::SampleBytes(size, static_cast<std::uint32_t>(size)));
        Bytes noise(size), fewLetters(size), period(size);
        for (std::size_t i = 0; i < size; ++i) {
            noise[i] = static_cast<std::uint8_t>(random());
            fewLetters[i] = static_cast<std::uint8_t>('a' + random() % 3);
            period[i] = static_cast<std::uint8_t>((i % 4095) * 31);  // repeats one window back
        }
        inputs.insert(inputs.end(), {noise, fewLetters, period});
    }
    for (const Bytes& input : inputs) {
        Bytes out(input.size());
        ASSERT_EQ(decode(tools::EncodeLz77Chunk(input), out), Lz77Result::Ok) << input.size();
        ASSERT_EQ(out, input);
    }
}

}  // namespace
