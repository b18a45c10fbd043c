#include "bench/Comparison.h"

#include <algorithm>
#include <chrono>

std::vector<Comparison>& comparisons()
{
    static std::vector<Comparison> all;
    return all;
}

ComparisonRegistrar::ComparisonRegistrar(std::string name, std::function<ComparisonResult(const std::string&)> run)
{
    comparisons().push_back({std::move(name), std::move(run)});
}

double timeMs(const std::function<void()>& fn, int repeats)
{
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) {
        auto start = std::chrono::steady_clock::now();
        fn();
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}
