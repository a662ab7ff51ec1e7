#pragma once

// The ordered, keyed collection every in-memory list of the program uses.
//
// Items keep the order they were added in and are indexed from 1. An item may
// carry a string key; keys compare without regard to letter case, and adding a
// key that is already present throws DuplicateKeyError and leaves the
// collection unchanged. Loaders rely on that failure (a duplicate weapon name
// or build-menu key is left out of the global catalogue), so it is a real,
// catchable exception; callers that merely want to know use tryAdd().

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
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
        m_keys.emplace_back(std::nullopt);
    }

    // Adds an item under `key`; throws DuplicateKeyError when the key is taken.
    void Add(T item, std::string_view key) {
        if (!tryAdd(std::move(item), key)) throw DuplicateKeyError(key);
    }

    // Adds an item under `key` unless the key is taken; returns whether it was added.
    bool tryAdd(T item, std::string_view key) {
        auto [it, inserted] = m_index.try_emplace(FoldCase(key), m_items.size());
        if (!inserted) return false;
        m_items.push_back(std::move(item));
        m_keys.emplace_back(std::string(key));
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

    bool Contains(std::string_view key) const { return m_index.count(FoldCase(key)) != 0; }

    // The 1-based position of the item under `key`.
    std::optional<std::size_t> indexOf(std::string_view key) const {
        auto it = m_index.find(FoldCase(key));
        if (it == m_index.end()) return std::nullopt;
        return it->second + 1;
    }

    // The key the item at the 1-based `index` was added with, if any.
    const std::optional<std::string>& KeyAt(std::size_t index) const {
        return m_keys.at(checkedIndex(index));
    }

    void Remove(std::size_t index) {
        std::size_t i = checkedIndex(index);
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(i));
        m_keys.erase(m_keys.begin() + static_cast<std::ptrdiff_t>(i));
        rebuildIndex();
    }

    void Clear() {
        m_items.clear();
        m_keys.clear();
        m_index.clear();
    }

    std::size_t Count() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    void reserve(std::size_t n) {
        m_items.reserve(n);
        m_keys.reserve(n);
        m_index.reserve(n);
    }

    iterator begin() { return m_items.begin(); }
    iterator end() { return m_items.end(); }
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }

  private:
    std::size_t checkedIndex(std::size_t index) const {
        if (index < 1 || index > m_items.size()) {
            throw std::out_of_range("Collection index " + std::to_string(index) +
                                    " is outside 1.." + std::to_string(m_items.size()));
        }
        return index - 1;
    }

    void rebuildIndex() {
        m_index.clear();
        for (std::size_t i = 0; i < m_keys.size(); ++i) {
            if (m_keys[i]) m_index.emplace(FoldCase(*m_keys[i]), i);
        }
    }

    std::vector<T> m_items;
    std::vector<std::optional<std::string>> m_keys;
    std::unordered_map<std::string, std::size_t> m_index;  // folded key -> 0-based position
};

}  // namespace kloxmere
