#include "units/clsMenuEntry.h"

namespace kloxmere {

std::string clsMenuEntry::Key() const {
    std::string key;
    KeyInto(key);
    return key;
}

void clsMenuEntry::KeyInto(std::string& to) const {
    LocationInto(to);
    to += ' ';
    to += Unit;
}

std::string clsMenuEntry::Location() const {
    std::string location;
    LocationInto(location);
    return location;
}

void clsMenuEntry::LocationInto(std::string& to) const {
    to.clear();
    to.reserve(BuilderUnit.size() + Menu.size() + Button.size() + Unit.size() + 3);
    to += BuilderUnit;
    to += ' ';
    to += Menu;
    to += ' ';
    to += Button;
}

}  // namespace kloxmere
