#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "base/Collection.h"
#include "base/CompactText.h"

namespace kloxmere {

class clsHPI;
class clsUnit;
class clsWeapon;

// The weapons that share a weapon's number: the other members of its number's
// group, in WeaponList order. The group itself is kept once for all its
// members (by the catalogue), so a number shared by k weapons costs k
// pointers rather than k * (k - 1).
class WeaponPartners {
  public:
    using Group = std::vector<clsWeapon*>;

    class const_iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = clsWeapon*;
        using difference_type = std::ptrdiff_t;
        using pointer = clsWeapon* const*;
        using reference = clsWeapon* const&;

        const_iterator() = default;
        const_iterator(Group::const_iterator at, Group::const_iterator end, const clsWeapon* self)
            : m_at(at), m_end(end), m_self(self) {
            skipSelf();
        }
        reference operator*() const { return *m_at; }
        const_iterator& operator++() {
            ++m_at;
            skipSelf();
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.m_at == b.m_at;
        }

      private:
        void skipSelf() {
            if (m_at != m_end && *m_at == m_self) ++m_at;
        }
        Group::const_iterator m_at{}, m_end{};
        const clsWeapon* m_self = nullptr;
    };

    // The members of `group` but `self`; `group` must outlive these partners.
    void assign(const Group* group, const clsWeapon* self) {
        m_group = group;
        m_self = self;
    }

    const_iterator begin() const {
        return m_group ? const_iterator(m_group->begin(), m_group->end(), m_self)
                       : const_iterator();
    }
    const_iterator end() const {
        return m_group ? const_iterator(m_group->end(), m_group->end(), m_self) : const_iterator();
    }
    bool empty() const { return begin() == end(); }
    // Every weapon of the number, this one among them; nullptr without partners.
    const Group* group() const { return m_group; }
    std::size_t size() const { return static_cast<std::size_t>(std::distance(begin(), end())); }

    friend bool operator==(const WeaponPartners& partners, const std::vector<clsWeapon*>& list) {
        return std::equal(partners.begin(), partners.end(), list.begin(), list.end());
    }

  private:
    const Group* m_group = nullptr;
    const clsWeapon* m_self = nullptr;
};

// One weapon of a weapon definition file. Links are non-owning: the archive
// record that loaded the weapon owns it.
class clsWeapon {
  public:
    clsHPI* HPI = nullptr;       // the archive the weapon was found in
    CompactText Filename;        // the weapon file's path inside that archive
    CompactText Name;            // its section name
    std::int32_t ID = 0;         // its weapon number
    Collection<clsUnit*> Units;  // units carrying it, keyed by unit Name
    WeaponPartners Conflicts;    // other weapons with the same number

    bool Conflict() const { return !Conflicts.empty(); }
};

}  // namespace kloxmere
