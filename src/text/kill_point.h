#pragma once
// Named points in the writers where the program may be killed half-way through a change of
// files: after the new bytes are complete, between two renames, during an overwrite in
// place. The writers are made so that a kill at any of them leaves every file old or new;
// tests set a hook that stops the program at one point after another to see that it does.
// Without a hook a point does nothing.

namespace killpoint {

using Hook = void (*)(const char* point);

// The hook every point calls from now on; nullptr: none.
void SetHook(Hook hook);

void Reach(const char* point);

}  // namespace killpoint
