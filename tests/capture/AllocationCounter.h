#pragma once
// Counts operator new calls made between Start and Stop (any thread), so tests can
// check that a hot path does not allocate.
// Under ThreadSanitizer nothing is counted: Stop gives kAllocationsNotCounted and
// the tests say they skipped.
inline constexpr long kAllocationsNotCounted = -1;
void StartCountingAllocations();
long StopCountingAllocations();
