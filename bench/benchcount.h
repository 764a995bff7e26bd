#pragma once
// Instruction counts of the timed loops. Wall-clock figures vary with whatever else runs on the
// machine; the instructions a loop executes do not. Run a benchmark under
//   valgrind --tool=callgrind --collect-atstart=no <program> --benchmark_filter=<name>
// and callgrind counts only inside the loops wrapped in a CountedLoop; the program prints how
// many iterations that covered, so the total divided by it is the cost of one iteration
// (bench/instructions does this for every benchmark). Outside valgrind this costs nothing.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define KVRN_BENCH_CALLGRIND 1
#endif

namespace benchcount {

inline int64_t& Iterations()
{
    static int64_t n = 0;
    return n;
}

// Counts the loop of `state` that runs while it lives: declare it just before the loop.
class CountedLoop {
public:
    explicit CountedLoop(benchmark::State& state) : state_(state)
    {
#ifdef KVRN_BENCH_CALLGRIND
        CALLGRIND_TOGGLE_COLLECT;
#endif
    }
    ~CountedLoop()
    {
#ifdef KVRN_BENCH_CALLGRIND
        CALLGRIND_TOGGLE_COLLECT;
#endif
        Iterations() += int64_t(state_.iterations());
    }
    CountedLoop(const CountedLoop&) = delete;
    CountedLoop& operator=(const CountedLoop&) = delete;

private:
    benchmark::State& state_;
};

// When the program ends: under valgrind, the number of iterations the count covers.
struct IterationsReport {
    ~IterationsReport()
    {
#ifdef KVRN_BENCH_CALLGRIND
        if (RUNNING_ON_VALGRIND)
            std::fprintf(stderr, "counted iterations: %lld\n", static_cast<long long>(Iterations()));
#endif
    }
};
inline IterationsReport iterationsReport;

}  // namespace benchcount
