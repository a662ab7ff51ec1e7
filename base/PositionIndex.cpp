#include "base/PositionIndex.h"

#include <stdexcept>

namespace kloxmere {

std::uint32_t PositionIndex::checkedPosition(std::size_t position) {
    if (position == 0 || position > UINT32_MAX) {
        throw std::out_of_range("a position index holds positions 1 to 2^32 - 1");
    }
    return static_cast<std::uint32_t>(position);
}

void PositionIndex::insert(std::size_t position, std::size_t hash) {
    const std::uint32_t checked = checkedPosition(position);
    if ((m_count + 1) * 2 > m_slots.size()) rebuild(m_slots.empty() ? 16 : m_slots.size() * 2);
    place({checked, shortHash(hash)});
    ++m_count;
}

void PositionIndex::reserve(std::size_t count) {
    std::size_t slots = m_slots.empty() ? 16 : m_slots.size();
    while (slots < count * 2) slots *= 2;
    if (slots > m_slots.size()) rebuild(slots);
}

void PositionIndex::place(Slot slot) {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t s = slot.hash & mask;
    while (m_slots[s].position != 0) s = (s + 1) & mask;
    m_slots[s] = slot;
}

void PositionIndex::rebuild(std::size_t slots) {
    std::vector<Slot> old(slots, Slot{0, 0});
    old.swap(m_slots);
    for (const Slot& slot : old) {
        if (slot.position != 0) place(slot);
    }
}

}  // namespace kloxmere
