#pragma once

// The ordered, keyed collection every in-memory list of the program uses.
//
// Items keep the order they were added in and are indexed from 1. An item may
// carry a string key; keys compare without regard to letter case, and adding a
// key that is already present throws DuplicateKeyError and leaves the
// collection unchanged. Loaders rely on that failure (a duplicate weapon name
// or build-menu key is left out of the global catalogue), so it is a real,
// catchable exception; callers that merely want to know use tryAdd().

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/TextCase.h"

namespace kloxmere {

class DuplicateKeyError : public std::runtime_error {
  public:
    explicit DuplicateKeyError(std::string_view key)
        : std::runtime_error("The key '" + std::string(key) + "' is already in the collection") {}
};

template <class T>
class Collection {
  public:
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    // Adds an item without a key.
    void Add(T item) {
        m_items.push_back(std::move(item));
        if (!m_keys.empty()) m_keys.push_back({0, kNoKey, 0});
    }

    // Adds an item under `key`; throws DuplicateKeyError when the key is taken.
    void Add(T item, std::string_view key) {
        if (!tryAdd(std::move(item), key)) throw DuplicateKeyError(key);
    }

    // Adds an item under `key` unless the key is taken; returns whether it was added.
    bool tryAdd(T item, std::string_view key) {
        // A short collection, searched one by one, reads no hash: 0 will do there.
        const std::size_t hash = useIndex() ? HashNoCase(key) : 0;
        if (find(key, hash)) return false;
        if (m_keys.empty()) {
            // The first key: the items before it get their empty entries now.
            m_keys.reserve(std::max<std::size_t>(m_reservedItems, m_items.size() + 1));
            m_keys.resize(m_items.size(), {0, kNoKey, 0});
        }
        m_items.push_back(std::move(item));
        m_keys.push_back({static_cast<std::uint32_t>(m_keyText.size()),
                          static_cast<std::uint32_t>(key.size()), hash});
        m_keyText.insert(m_keyText.end(), key.begin(), key.end());
        ++m_keyCount;
        if (useIndex()) {
            if (m_slots.empty() || (m_keyCount + 1) * 4 > m_slots.size() * 3) {
                rebuildIndex();
            } else {
                place(m_items.size() - 1);
            }
        }
        return true;
    }

    // The item at the 1-based `index`; throws std::out_of_range outside 1..Count().
    T& Item(std::size_t index) { return m_items.at(checkedIndex(index)); }
    const T& Item(std::size_t index) const { return m_items.at(checkedIndex(index)); }

    // The item under `key`, or nullptr.
    T* Find(std::string_view key) {
        auto i = indexOf(key);
        return i ? &m_items[*i - 1] : nullptr;
    }
    const T* Find(std::string_view key) const {
        auto i = indexOf(key);
        return i ? &m_items[*i - 1] : nullptr;
    }

    bool Contains(std::string_view key) const { return indexOf(key).has_value(); }

    // The 1-based position of the item under `key`.
    std::optional<std::size_t> indexOf(std::string_view key) const {
        return find(key, useIndex() ? HashNoCase(key) : 0);
    }

    // The key the item at the 1-based `index` was added with, if any. The
    // view lasts until the collection is next changed.
    std::optional<std::string_view> KeyAt(std::size_t index) const {
        const std::size_t i = checkedIndex(index);
        if (i >= m_keys.size() || m_keys[i].length == kNoKey) return std::nullopt;
        return keyText(m_keys[i]);
    }

    void Remove(std::size_t index) {
        std::size_t i = checkedIndex(index);
        auto at = [i](auto& vector) { return vector.begin() + static_cast<std::ptrdiff_t>(i); };
        m_items.erase(at(m_items));
        if (!m_keys.empty()) m_keys.erase(at(m_keys));
        compactKeyText();
        rebuildIndex();
    }

    void Clear() {
        m_items.clear();
        m_keys.clear();
        m_keyText.clear();
        m_slots.clear();
        m_keyCount = 0;
    }

    std::size_t Count() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    void reserve(std::size_t n) {
        m_items.reserve(n);
        m_reservedItems = static_cast<std::uint32_t>(std::min<std::size_t>(n, UINT32_MAX));
        if (!m_keys.empty()) m_keys.reserve(n);
    }

    iterator begin() { return m_items.begin(); }
    iterator end() { return m_items.end(); }
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }

  private:
    // Up to this many keys are searched one by one: a unit's weapons and a
    // weapon's units rarely reach it; the catalogue's lists hash theirs.
    static constexpr std::size_t kLinearLimit = 8;
    static constexpr std::uint32_t kNoKey = 0xFFFFFFFF;

    // Where a key's text sits in m_keyText, and its HashNoCase; every key's
    // text lies in that one buffer, so a key costs no allocation of its own.
    struct KeyEntry {
        std::uint32_t offset;
        std::uint32_t length;  // kNoKey for an item without a key
        std::size_t hash;
    };

    bool useIndex() const { return m_keyCount >= kLinearLimit; }

    std::string_view keyText(const KeyEntry& entry) const {
        return {m_keyText.data() + entry.offset, entry.length};
    }

    std::size_t checkedIndex(std::size_t index) const {
        if (index < 1 || index > m_items.size()) {
            throw std::out_of_range("Collection index " + std::to_string(index) +
                                    " is outside 1.." + std::to_string(m_items.size()));
        }
        return index - 1;
    }

    // The 1-based position of `key`; `hash` is its HashNoCase (read once the index is in use).
    std::optional<std::size_t> find(std::string_view key, std::size_t hash) const {
        if (m_slots.empty()) {
            for (std::size_t i = 0; i < m_keys.size(); ++i) {
                if (m_keys[i].length != kNoKey && EqualsNoCase(keyText(m_keys[i]), key)) {
                    return i + 1;
                }
            }
            return std::nullopt;
        }
        std::size_t mask = m_slots.size() - 1;
        for (std::size_t s = hash & mask; m_slots[s] != 0; s = (s + 1) & mask) {
            std::size_t i = m_slots[s] - 1;
            if (m_keys[i].hash == hash && EqualsNoCase(keyText(m_keys[i]), key)) return i + 1;
        }
        return std::nullopt;
    }

    // Open addressing over positions: m_slots holds position + 1, 0 when free.
    void place(std::size_t position) {
        std::size_t mask = m_slots.size() - 1;
        std::size_t s = m_keys[position].hash & mask;
        while (m_slots[s] != 0) s = (s + 1) & mask;
        m_slots[s] = static_cast<std::uint32_t>(position + 1);
    }

    // A growing index keeps the hashes it has; only the short collection
    // becoming indexed hashes its (few) keys.
    void rebuildIndex() {
        bool wasIndexed = !m_slots.empty();
        m_slots.clear();
        if (!useIndex()) return;
        std::size_t size = 16;
        while (size * 3 < (m_keyCount + 1) * 8) size *= 2;  // at most 3/8 full after a rebuild
        m_slots.assign(size, 0);
        for (std::size_t i = 0; i < m_keys.size(); ++i) {
            if (m_keys[i].length == kNoKey) continue;
            if (!wasIndexed) m_keys[i].hash = HashNoCase(keyText(m_keys[i]));
            place(i);
        }
    }

    // Drops the text of removed keys.
    void compactKeyText() {
        std::vector<char> text;
        m_keyCount = 0;
        for (KeyEntry& entry : m_keys) {
            if (entry.length == kNoKey) continue;
            std::string_view key = keyText(entry);
            entry.offset = static_cast<std::uint32_t>(text.size());
            text.insert(text.end(), key.begin(), key.end());
            ++m_keyCount;
        }
        m_keyText = std::move(text);
    }

    std::vector<T> m_items;
    // By position, keyed or not; empty while no item has a key, so that a
    // collection without keys spends nothing on them.
    std::vector<KeyEntry> m_keys;
    std::vector<char> m_keyText;
    std::vector<std::uint32_t> m_slots;
    std::uint32_t m_keyCount = 0;       // keys fit in 32 bits (see KeyEntry)
    std::uint32_t m_reservedItems = 0;  // what reserve() asked for, until the first key
};

}  // namespace kloxmere
