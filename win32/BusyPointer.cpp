#include "win32/BusyPointer.h"

#include <windows.h>

namespace kloxmere::win32 {

namespace {
int busyCount = 0;  // window thread only
}

void SetBusyPointer(bool busy) {
    busyCount += busy ? 1 : (busyCount > 0 ? -1 : 0);
    SetCursor(LoadCursorW(nullptr, busyCount > 0 ? IDC_WAIT : IDC_ARROW));
}

bool BusyPointerOn() {
    return busyCount > 0;
}

bool ShowBusyCursor() {
    if (busyCount == 0) return false;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return true;
}

}  // namespace kloxmere::win32
