#include "base/ByteStream.h"

#include <algorithm>

namespace kloxmere {

void ByteReader::need(std::size_t count) {
    if (count > remaining()) {
        m_hitEnd = true;
        throw TruncatedError("unexpected end of data at byte " + std::to_string(m_pos) + " (" +
                             std::to_string(count) + " more bytes needed)");
    }
}

std::uint8_t ByteReader::readU8() {
    need(1);
    return m_data[m_pos++];
}

std::uint32_t ByteReader::readU32() {
    need(4);
    std::uint32_t v = LoadU32(m_data.data() + m_pos);
    m_pos += 4;
    return v;
}

std::span<const std::uint8_t> ByteReader::readBytes(std::size_t count) {
    need(count);
    auto bytes = m_data.subspan(m_pos, count);
    m_pos += count;
    return bytes;
}

std::string ByteReader::readZBytes() {
    auto begin = m_data.begin() + static_cast<std::ptrdiff_t>(m_pos);
    auto zero = std::find(begin, m_data.end(), std::uint8_t{0});
    std::string bytes(begin, zero);
    m_pos += bytes.size();
    if (zero == m_data.end()) {
        m_hitEnd = true;
    } else {
        ++m_pos;
    }
    return bytes;
}

void ByteWriter::writeU32(std::uint32_t v) {
    std::uint8_t b[4];
    StoreU32(b, v);
    m_bytes.insert(m_bytes.end(), b, b + 4);
}

void ByteWriter::writeBytes(std::span<const std::uint8_t> bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void ByteWriter::writeBytes(std::string_view bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

}  // namespace kloxmere
