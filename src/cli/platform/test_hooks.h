// Faults that the end-to-end tests inject into a test build (one compiled
// with VIGIL_TEST_HOOKS; a release build reads none of this). Each is named
// by an environment variable that only the platform layer reads:
//   VIGIL_TEST_FAIL_RENAME=N        the Nth rename of a commit fails
//   VIGIL_TEST_SIGNAL=POINT:NUMBER  the signal is raised at POINT
//   VIGIL_TEST_PAUSE=POINT:MS       the run sleeps at POINT (a wider window)
//   VIGIL_TEST_OUT_OF_MEMORY=POINT  std::bad_alloc is thrown at POINT
//   VIGIL_TEST_LOCK_WAIT_MS=N       how long a second run waits for the lock
// POINTs: "read" (a file was read), "staged1".."staged4" (after each
// temporary file), "commit" (the journal written, before the first rename),
// "renamed1".."renamed4" (after each rename), "committed" (all done),
// "undoing" (a rename failed: the old files are about to be put back).
#ifndef VIGIL_CLI_PLATFORM_TEST_HOOKS_H_
#define VIGIL_CLI_PLATFORM_TEST_HOOKS_H_

#include <string_view>

namespace vigil::platform {

// Runs the faults asked for at `point`.
void ReachPoint(std::string_view point);
// True when the `position`th rename (from 1) is to fail.
bool RenameFails(int position);
// The lock's wait in milliseconds: `usual`, unless a test asks for another.
int LockWaitMs(int usual);

}  // namespace vigil::platform

#endif  // VIGIL_CLI_PLATFORM_TEST_HOOKS_H_
