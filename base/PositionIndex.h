#pragma once

// A hash index over the positions of a list kept elsewhere: it finds the
// position whose item matches a key without holding the keys themselves, at
// eight bytes a slot. The list's owner hashes its keys and says, for a
// candidate position, whether the item there matches.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kloxmere {

class PositionIndex {
  public:
    // The 1-based position of an item whose key hashes to `hash` and for
    // which `matches(position)` holds; nullopt when there is none.
    template <class Matches>
    std::optional<std::size_t> find(std::size_t hash, Matches&& matches) const {
        auto slot = slotOf(hash, matches);
        if (!slot) return std::nullopt;
        return m_slots[*slot].position;
    }

    // Indexes `position` under `hash` in place of an indexed item for which
    // `matches(position)` holds, and returns that item's position; nullopt
    // (and `position` indexed besides the others) when there is none.
    template <class Matches>
    std::optional<std::size_t> replace(std::size_t position, std::size_t hash, Matches&& matches) {
        if (auto slot = slotOf(hash, matches)) {
            std::size_t replaced = m_slots[*slot].position;
            m_slots[*slot].position = checkedPosition(position);
            return replaced;
        }
        insert(position, hash);
        return std::nullopt;
    }

    // Indexes the 1-based `position` under `hash`. A position already
    // indexed is not looked for: the caller checks with find() first.
    void insert(std::size_t position, std::size_t hash);

    std::size_t size() const { return m_count; }
    void reserve(std::size_t count);

  private:
    struct Slot {
        std::uint32_t position;  // 0: free
        std::uint32_t hash;
    };
    // `position` as a slot holds it; throws std::out_of_range outside 1 to 2^32 - 1.
    static std::uint32_t checkedPosition(std::size_t position);
    static std::uint32_t shortHash(std::size_t hash) {
        return static_cast<std::uint32_t>(hash ^ (static_cast<std::uint64_t>(hash) >> 32));
    }
    // The slot holding a position under `hash` for which `matches` holds.
    template <class Matches>
    std::optional<std::size_t> slotOf(std::size_t hash, Matches& matches) const {
        if (m_slots.empty()) return std::nullopt;
        const auto short_ = shortHash(hash);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t s = short_ & mask; m_slots[s].position != 0; s = (s + 1) & mask) {
            if (m_slots[s].hash == short_ && matches(std::size_t{m_slots[s].position})) return s;
        }
        return std::nullopt;
    }
    void place(Slot slot);
    void rebuild(std::size_t slots);

    std::vector<Slot> m_slots;  // a power of two, at most half full
    std::size_t m_count = 0;
};

}  // namespace kloxmere
