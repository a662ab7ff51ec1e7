#include "units/clsMenuEntry.h"

namespace kloxmere {

std::string clsMenuEntry::Key() const {
    return Location() + " " + Unit;
}

std::string clsMenuEntry::Location() const {
    return BuilderUnit + " " + Menu + " " + Button;
}

}  // namespace kloxmere
