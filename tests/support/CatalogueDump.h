#pragma once

#include <string>

namespace kloxmere {
class Catalogue;
}

namespace kloxmere::test {

// Everything a scan leaves in the catalogue, as text: archives, units (keys,
// fields, archive, weapons, conflict state and text), weapons (keys, numbers,
// conflicts), menu entries, menu conflicts, sides. Two scans that agree on
// this text built the same catalogue.
std::string DumpCatalogue(const Catalogue& catalogue);

}  // namespace kloxmere::test
