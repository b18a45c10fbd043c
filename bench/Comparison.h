#pragma once

#include <functional>
#include <string>
#include <vector>

// One line of the benchmark: the same work done through our layers and through
// the plain C interfaces, both timed in the same process, in turns.
struct ComparisonResult {
    // Every timed run of each side, in milliseconds.
    std::vector<double> oursMs;
    std::vector<double> rawMs;
    bool ok = true;
    std::string note;   // why a comparison could not run, when ok is false
    std::string detail; // further figures printed under the timings, if any
};

struct Comparison {
    std::string name;
    std::function<ComparisonResult(const std::string& workDir)> run;
};

// Comparisons register themselves from their own source files: adding one is a
// new file in bench/ holding
//     ComparisonRegistrar myName("my-name", [](const std::string& workDir) { ... });
// whose function times both sides with timeInTurns. The program runs every
// comparison in a process of its own, so none inherits the heap, caches or
// Qt state another left behind; workDir is shared, so built banks are reused.
std::vector<Comparison>& comparisons();

struct ComparisonRegistrar {
    ComparisonRegistrar(std::string name, std::function<ComparisonResult(const std::string&)> run);
};

// Extra entry points of the benchmark program, for comparisons that time
// whole processes: `bench_mockexam --mode NAME ARGS...` runs the function.
std::vector<std::pair<std::string, std::function<int(int argc, char** argv)>>>& childModes();

struct ChildModeRegistrar {
    ChildModeRegistrar(std::string name, std::function<int(int argc, char** argv)> run);
};

// Milliseconds one run of fn takes.
double timeMs(const std::function<void()>& fn);

// Runs ours and raw in turns, at least five times each, recording every run:
// on a busy machine both sides then meet the same load.
void timeInTurns(const std::function<void()>& ours, const std::function<void()>& raw, int repeats,
                 ComparisonResult& result);

// This program's own file, for starting it again.
std::string benchProgram();
