#pragma once

// A test build of kloxmere-cli reads KLOXMERE_TEST_RENAME_SEAM=INDEX:WHEN:WHAT
// (WHEN "before" or "after" the rename of that index, WHAT "kill" or
// "pause"): it ends itself as a kill would there, or pauses two seconds
// holding the switch lock. The shipped program has no such seam.

namespace kloxmere::test {

void InstallRenameSeam();

}  // namespace kloxmere::test
