#pragma once

#include "base/PlatformServices.h"

namespace kloxmere {

// Shows the busy pointer for the lifetime of the object, so the normal pointer
// comes back however a long command ends.
class BusyPointer {
  public:
    explicit BusyPointer(PlatformServices& services) : m_services(services) {
        m_services.SetBusy(true);
    }
    ~BusyPointer() { m_services.SetBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

  private:
    PlatformServices& m_services;
};

}  // namespace kloxmere
