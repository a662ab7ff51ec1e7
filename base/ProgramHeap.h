#pragma once

// Sets up the program's heap for a catalogue of tens of thousands of small
// records built in one go at start-up. Call first thing in main().
//
// On Linux with the GNU C library, the main heap is reserved ahead in a large
// stretch (address space only: a page costs memory once it is written)
// marked for transparent huge pages, so that building the catalogue takes a
// page fault per 2 MB instead of one per 4 KB; a page fault costs far more
// than the allocation it serves. Where the system offers no huge pages
// nothing changes but the reservation.
// Elsewhere, and in builds with sanitizers (which bring their own
// allocator), this does nothing.
namespace kloxmere {

void PrepareProgramHeap();

// The same for a thread that builds records (a scan's workers, a window's
// scan thread): its own heap, which the C library gives each such thread,
// is marked for huge pages as well. Call first thing in the thread.
void PrepareThreadHeap();

}  // namespace kloxmere
