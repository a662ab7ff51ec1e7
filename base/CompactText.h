#pragma once

// A string for the fields of catalogue records: half the size of a
// std::string (16 bytes against 32), and as a std::string it keeps up to 15
// bytes in itself, so that the short texts most fields hold (numbers, sides,
// classes, unit names) cost no allocation. A longer text is kept on the heap
// at its exact size. The catalogue of a large installation holds some half a
// million of these fields.
//
// It reads as a std::string_view, converts to std::string where one is
// wanted, and is always followed by a NUL (c_str()). It is assigned whole;
// it is not edited in place.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kloxmere {

class CompactText {
  public:
    CompactText() noexcept { setInline(0); }
    CompactText(std::string_view text) { construct(text); }    // NOLINT: implicit, as std::string
    CompactText(const char* text) { construct(text); }         // NOLINT
    CompactText(const std::string& text) { construct(text); }  // NOLINT
    CompactText(const CompactText& other) { construct(other.view()); }
    CompactText(CompactText&& other) noexcept {
        std::memcpy(m_bytes, other.m_bytes, sizeof m_bytes);
        other.setInline(0);
    }
    ~CompactText() { release(); }

    CompactText& operator=(const CompactText& other) {
        if (this != &other) assign(other.view());
        return *this;
    }
    CompactText& operator=(CompactText&& other) noexcept {
        if (this != &other) {
            release();
            std::memcpy(m_bytes, other.m_bytes, sizeof m_bytes);
            other.setInline(0);
        }
        return *this;
    }
    CompactText& operator=(std::string_view text) {
        assign(text);
        return *this;
    }
    CompactText& operator=(const char* text) {
        assign(text);
        return *this;
    }
    CompactText& operator=(const std::string& text) {
        assign(text);
        return *this;
    }

    // Replaces the text; `text` may be part of this one.
    void assign(std::string_view text) {
        CompactText replacement(text);
        *this = std::move(replacement);
    }

    std::size_t size() const noexcept {
        return onHeap() ? heapSize() : kInlineCapacity - static_cast<unsigned char>(m_bytes[kLast]);
    }
    bool empty() const noexcept { return size() == 0; }
    const char* data() const noexcept { return onHeap() ? heapData() : m_bytes; }
    const char* c_str() const noexcept { return data(); }
    const char* begin() const noexcept { return data(); }
    const char* end() const noexcept { return data() + size(); }

    std::string_view view() const noexcept { return {data(), size()}; }
    operator std::string_view() const noexcept { return view(); }  // NOLINT: reads as a view
    std::string str() const { return std::string(view()); }
    operator std::string() const { return str(); }  // NOLINT: where a std::string is wanted

    friend bool operator==(const CompactText& a, const CompactText& b) noexcept {
        return a.view() == b.view();
    }
    friend bool operator==(const CompactText& a, std::string_view b) noexcept {
        return a.view() == b;
    }
    friend bool operator==(const CompactText& a, const char* b) noexcept {
        return a.view() == std::string_view(b);
    }
    friend bool operator==(const CompactText& a, const std::string& b) noexcept {
        return a.view() == std::string_view(b);
    }
    friend std::strong_ordering operator<=>(const CompactText& a, const CompactText& b) noexcept {
        return a.view() <=> b.view();
    }
    friend std::strong_ordering operator<=>(const CompactText& a, std::string_view b) noexcept {
        return a.view() <=> b;
    }

    friend std::string operator+(const CompactText& a, std::string_view b) {
        std::string joined(a.view());
        joined += b;
        return joined;
    }
    friend std::string operator+(std::string_view a, const CompactText& b) {
        std::string joined(a);
        joined += b.view();
        return joined;
    }
    friend std::string operator+(const CompactText& a, const char* b) {
        return a + std::string_view(b);
    }
    friend std::string operator+(const char* a, const CompactText& b) {
        return std::string_view(a) + b;
    }
    friend std::string operator+(const CompactText& a, const std::string& b) {
        return a + std::string_view(b);
    }
    friend std::string operator+(const std::string& a, const CompactText& b) {
        return std::string_view(a) + b;
    }

    friend std::ostream& operator<<(std::ostream& out, const CompactText& text) {
        return out << text.view();
    }

  private:
    // Inline: the bytes, a NUL, and in the last byte 15 minus the length (so
    // that 15 bytes end in their own NUL). On the heap: a pointer, the
    // length, and kOnHeap in the last byte.
    static constexpr std::size_t kLast = 15;
    static constexpr std::size_t kInlineCapacity = 15;
    static constexpr char kOnHeap = static_cast<char>(0x80);

    bool onHeap() const noexcept { return m_bytes[kLast] == kOnHeap; }
    const char* heapData() const noexcept {
        const char* pointer;
        std::memcpy(&pointer, m_bytes, sizeof pointer);
        return pointer;
    }
    std::size_t heapSize() const noexcept {
        std::uint32_t size;
        std::memcpy(&size, m_bytes + sizeof(char*), sizeof size);
        return size;
    }
    void setInline(std::size_t size) noexcept {
        m_bytes[size] = '\0';
        m_bytes[kLast] = static_cast<char>(kInlineCapacity - size);
    }
    void construct(std::string_view text) {
        if (text.size() <= kInlineCapacity) {
            if (!text.empty()) std::memcpy(m_bytes, text.data(), text.size());
            setInline(text.size());
            return;
        }
        if (text.size() > UINT32_MAX) throw std::length_error("a record's text is too long");
        char* heap = new char[text.size() + 1];
        std::memcpy(heap, text.data(), text.size());
        heap[text.size()] = '\0';
        auto size = static_cast<std::uint32_t>(text.size());
        std::memcpy(m_bytes, &heap, sizeof heap);
        std::memcpy(m_bytes + sizeof heap, &size, sizeof size);
        m_bytes[kLast] = kOnHeap;
    }
    void release() noexcept {
        if (onHeap()) delete[] heapData();
    }

    alignas(8) char m_bytes[16];
};

static_assert(sizeof(CompactText) == 16);

}  // namespace kloxmere
