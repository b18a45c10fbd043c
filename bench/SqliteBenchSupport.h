#pragma once

#include "bench/Comparison.h"

#include <functional>
#include <string>

// A question bank file of `rows` questions in the benchmark folder, built on
// first use and reused by later comparisons of the same run. Empty when it
// cannot be built.
std::string sqliteBenchBank(const std::string& workDir, int rows);

// Times ours and raw in turns, `repeats` times each, keeping the best of
// each: on a busy machine both sides then meet the same load.
void timeInTurns(const std::function<void()>& ours, const std::function<void()>& raw, int repeats,
                 ComparisonResult& result);
