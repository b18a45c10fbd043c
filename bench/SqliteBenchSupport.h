#pragma once

#include "bench/Comparison.h"

#include <string>

// A question bank file of `rows` questions in the benchmark folder, built on
// first use and reused by later comparisons of the same run. Empty when it
// cannot be built.
std::string sqliteBenchBank(const std::string& workDir, int rows);
