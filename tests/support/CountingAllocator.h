// Counting the heap allocations of a stretch of code. malloc and friends are interposed for the
// whole process (a plugin loaded with RTLD_LOCAL still binds to the executable's definitions);
// a program that includes this links CountingAllocator.cpp in.
#pragma once

namespace ferrovane::test {

// Starts counting from zero, or stops; the allocations counted since the last start.
void CountAllocations(bool on);
int CountedAllocations();

} // namespace ferrovane::test
