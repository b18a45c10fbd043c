#include "bench/Comparison.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>

std::vector<Comparison>& comparisons()
{
    static std::vector<Comparison> all;
    return all;
}

ComparisonRegistrar::ComparisonRegistrar(std::string name, std::function<ComparisonResult(const std::string&)> run)
{
    comparisons().push_back({std::move(name), std::move(run)});
}

std::vector<std::pair<std::string, std::function<int(int, char**)>>>& childModes()
{
    static std::vector<std::pair<std::string, std::function<int(int, char**)>>> all;
    return all;
}

ChildModeRegistrar::ChildModeRegistrar(std::string name, std::function<int(int, char**)> run)
{
    childModes().emplace_back(std::move(name), std::move(run));
}

double timeMs(const std::function<void()>& fn)
{
    const auto start = std::chrono::steady_clock::now();
    fn();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    return took.count();
}

void timeInTurns(const std::function<void()>& ours, const std::function<void()>& raw, int repeats,
                 ComparisonResult& result)
{
    for (int i = 0; i < std::max(repeats, 5); ++i) {
        result.oursMs.push_back(timeMs(ours));
        result.rawMs.push_back(timeMs(raw));
    }
}

std::string benchProgram()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}
