// The capture tests' allocation counter, built into this binary too.
#include "capture/AllocationCounter.cpp"
