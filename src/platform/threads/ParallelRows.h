#pragma once
// Runs a loop over rows in bands, one band per core, and returns when all are done.
#include <functional>

// Calls fn(begin, end) for contiguous bands covering [0, rows); bands run at once.
void ParallelRows(int rows, const std::function<void(int begin, int end)>& fn);

// Calls fn(i) for every i in [0, count), spread over the cores.
void ParallelEach(int count, const std::function<void(int index)>& fn);
