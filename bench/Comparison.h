#pragma once

#include <functional>
#include <string>
#include <vector>

// One line of the benchmark: the same work done through our layers and through
// the plain C interfaces, both timed in the same run.
struct ComparisonResult {
    double oursMs = 0;
    double rawMs = 0;
    bool ok = true;
    std::string note; // why a comparison could not run, when ok is false
};

struct Comparison {
    std::string name;
    std::function<ComparisonResult(const std::string& workDir)> run;
};

// Comparisons register themselves from their own source files.
std::vector<Comparison>& comparisons();

struct ComparisonRegistrar {
    ComparisonRegistrar(std::string name, std::function<ComparisonResult(const std::string&)> run);
};

// Milliseconds taken by fn, best of `repeats` runs so a cold cache does not decide.
double timeMs(const std::function<void()>& fn, int repeats = 3);
