#include "units/clsMenuEntry.h"

namespace kloxmere {

std::string clsMenuEntry::Key() const {
    return Location() + " " + Unit;
}

std::string clsMenuEntry::Location() const {
    std::string location;
    LocationInto(location);
    return location;
}

void clsMenuEntry::LocationInto(std::string& to) const {
    to.clear();
    to.reserve(BuilderUnit.size() + Menu.size() + Button.size() + 2);
    to += BuilderUnit;
    to += ' ';
    to += Menu;
    to += ' ';
    to += Button;
}

}  // namespace kloxmere
