#pragma once

// Little-endian byte streams over memory, for the program's binary formats.
// Values are decoded byte by byte; no packed structs are cast.

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kloxmere {

// A read wanted more bytes than the data holds.
class TruncatedError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

inline std::uint16_t LoadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t LoadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void StoreU32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> data) : m_data(data) {}

    std::uint8_t readU8();
    std::uint32_t readU32();
    std::int32_t readI32() { return static_cast<std::int32_t>(readU32()); }
    std::span<const std::uint8_t> readBytes(std::size_t count);

    // Bytes up to the next 0 byte, which is consumed and not returned. Stops at
    // the end of the data as well; hitEnd() then tells the terminator was missing.
    std::string readZBytes();

    bool atEnd() const { return m_pos >= m_data.size(); }
    bool hitEnd() const { return m_hitEnd; }
    std::size_t position() const { return m_pos; }
    std::size_t remaining() const { return m_data.size() - m_pos; }

  private:
    void need(std::size_t count);

    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    bool m_hitEnd = false;
};

class ByteWriter {
  public:
    void writeU8(std::uint8_t v) { m_bytes.push_back(v); }
    void writeU32(std::uint32_t v);
    void writeI32(std::int32_t v) { writeU32(static_cast<std::uint32_t>(v)); }
    void writeBytes(std::span<const std::uint8_t> bytes);
    void writeBytes(std::string_view bytes);

    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    std::vector<std::uint8_t> take() { return std::move(m_bytes); }

  private:
    std::vector<std::uint8_t> m_bytes;
};

}  // namespace kloxmere
