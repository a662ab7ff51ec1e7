#pragma once

// The application-wide busy (hourglass) pointer. While it is on, every
// window of the program shows the wait cursor (they answer WM_SETCURSOR
// through ShowBusyCursor).

namespace kloxmere::win32 {

// Turns the busy pointer on or off; calls nest.
void SetBusyPointer(bool busy);
bool BusyPointerOn();

// Sets the wait cursor when the busy pointer is on; whether it did.
bool ShowBusyCursor();

}  // namespace kloxmere::win32
