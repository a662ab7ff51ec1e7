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

TEST(Lz77Decoder, LiteralsAndReferencesFollowTheWindowRules) {
    // Tag 0x2C, least significant bit first: literal 'a', literal 'b', two
    // references, literal 'z', end marker. "ab" lands at window 1..2;
    // (1 << 4) | 2 copies 4 bytes from index 1, overlapping its own output
    // ("abab"); (3 << 4) | 0 copies 2 bytes from index 3 ("ab").
    Bytes input = {0x2C, 'a', 'b', 0x12, 0x00, 0x30, 0x00, 'z', 0x00, 0x00};
    Bytes out(2 + 4 + 2 + 1);
    ASSERT_EQ(decode(input, out), Lz77Result::Ok);
    EXPECT_EQ(std::string(out.begin(), out.end()), "ababababz");
}

TEST(Lz77Decoder, ReferencesWrapAroundTheWindow) {
    // 4,096 literals fill window 1..4095 and then index 0. A copy of 3 bytes
    // from index 4095 reads 4095 and 0, then index 1, which its own first
    // byte has just overwritten.
    Bytes plain(4096);
    for (std::size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<std::uint8_t>(i * 7 + 3);
    Bytes input;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        if (i % 8 == 0)
            input.push_back(0);
        input.push_back(plain[i]);
    }
    input.push_back(0x03);  // reference, then end marker
    std::uint16_t word = (4095 << 4) | (3 - 2);
    input.push_back(static_cast<std::uint8_t>(word));
    input.push_back(static_cast<std::uint8_t>(word >> 8));
    input.push_back(0);
    input.push_back(0);
    Bytes out(4096 + 3);
    ASSERT_EQ(decode(input, out), Lz77Result::Ok);
    EXPECT_EQ(out[4096], plain[4094]);
    EXPECT_EQ(out[4097], plain[4095]);
    EXPECT_EQ(out[4098], plain[4094]);
}

TEST(Lz77Decoder, DamagedStreamsFailInsteadOfRunningOn) {
    Bytes out(4);
    // Ends without its end marker.
    EXPECT_EQ(decode({0x00, 'a', 'b', 'c', 'd'}, out), Lz77Result::TruncatedInput);
    EXPECT_EQ(decode({}, out), Lz77Result::TruncatedInput);
    // A reference word cut in half.
    EXPECT_EQ(decode({0x01, 0x12}, out), Lz77Result::TruncatedInput);
    // Produces more than the chunk's size: by literal and by reference.
    EXPECT_EQ(decode({0x00, 'a', 'b', 'c', 'd', 'e'}, out), Lz77Result::Overrun);
    EXPECT_EQ(decode({0x04, 'a', 'b', 0x1F, 0x00}, out), Lz77Result::Overrun);
    // The end marker before the chunk is full.
    EXPECT_EQ(decode({0x04, 'a', 'b', 0x00, 0x00}, out), Lz77Result::ShortOutput);
    // A tag of all references reaching index 0 stops at once even with bytes after it.
    Bytes empty;
    EXPECT_EQ(decode({0x01, 0x00, 0x00, 'x', 'y'}, empty), Lz77Result::Ok);
}

// The encoder of tools/ against this decoder, over data that provokes long
// matches, overlapping copies, the 4,096-byte window's wrap and the index-0 rule.
TEST(Lz77Encoder, EveryChunkDecodesToItsInput) {
    std::mt19937 random(7);
    std::vector<Bytes> inputs = {Bytes{}, Bytes{42}, Bytes(65536, 0), Bytes(65536, 0xAB)};
    for (std::size_t size : {2u, 17u, 18u, 4095u, 4096u, 4097u, 8191u, 65535u, 65536u}) {
        inputs.push_back(test::SampleBytes(size, static_cast<std::uint32_t>(size)));
        Bytes noise(size);
        for (auto& b : noise)
            b = static_cast<std::uint8_t>(random());
        inputs.push_back(noise);
        Bytes smallAlphabet(size);
        for (auto& b : smallAlphabet)
            b = static_cast<std::uint8_t>('a' + random() % 3);
        inputs.push_back(smallAlphabet);
    }
    // A period of 4,095 puts every repeat exactly one window back.
    Bytes period(65536);
    for (std::size_t i = 0; i < period.size(); ++i)
        period[i] = static_cast<std::uint8_t>((i % 4095) * 31);
    inputs.push_back(period);

    for (const Bytes& input : inputs) {
        SCOPED_TRACE(input.size());
        Bytes encoded = tools::EncodeLz77Chunk(input);
        Bytes out(input.size());
        ASSERT_EQ(DecodeLz77Chunk(encoded, out), Lz77Result::Ok);
        ASSERT_EQ(out, input);
    }
}

}  // namespace
