// Counts the test program's heap allocations, so a test can show that a path allocates
// nothing. The counter covers every thread; the host tests run on one.
#pragma once

namespace testing_support {

// Calls of the global operator new (scalar and array forms) since the program started.
long heapAllocations();

}  // namespace testing_support
