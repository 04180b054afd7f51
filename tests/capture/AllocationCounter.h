#pragma once
// Counts operator new calls made between Start and Stop (any thread), so tests can
// check that a hot path does not allocate.
void StartCountingAllocations();
long StopCountingAllocations();
