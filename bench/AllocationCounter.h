// Counts the heap allocations of the whole process, library included.
#ifndef KIVLOGGING_BENCH_ALLOCATIONCOUNTER_H
#define KIVLOGGING_BENCH_ALLOCATIONCOUNTER_H

#include <cstdint>

namespace kivbench {

// The number of calls of the global operator new so far.
std::uint64_t AllocationCount();

}  // namespace kivbench

#endif  // KIVLOGGING_BENCH_ALLOCATIONCOUNTER_H
