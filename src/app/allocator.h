#pragma once

namespace corvane::app {

// Fixes glibc's thresholds for handing large blocks to the system, at start-up. By default
// they rise with the largest block freed so far, so the whole-log reads of the log viewer and
// the rewrites of the song log, which grow with the log, end up kept in whichever allocator
// arena served them, and the program's memory grows with every read of a longer log. Fixed,
// a block of 64 KiB or more is mapped on its own and goes back to the system when freed, and an
// arena keeps at most 128 KiB free at its end.
void FixAllocatorThresholds();

}  // namespace corvane::app
