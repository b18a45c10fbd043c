#include "bench/Comparison.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

// Usage: bench_mockexam [NAME...]; with no names every comparison runs.
int main(int argc, char** argv)
{
    std::set<std::string> wanted(argv + 1, argv + argc);
    // A folder of this run's own: two runs at once must not delete each other's banks.
    std::string pattern = (std::filesystem::temp_directory_path() / "mockexam-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    std::filesystem::path workDir = pattern;
    int failures = 0;
    for (const auto& c : comparisons()) {
        if (!wanted.empty() && !wanted.count(c.name))
            continue;
        ComparisonResult r = c.run(workDir.string());
        if (!r.ok) {
            std::printf("%s: not run (%s)\n", c.name.c_str(), r.note.c_str());
            ++failures;
            continue;
        }
        std::printf("%s: ours %.1f ms, raw %.1f ms, ratio %.2f\n", c.name.c_str(), r.oursMs, r.rawMs,
                    r.rawMs > 0 ? r.oursMs / r.rawMs : 0.0);
        std::fflush(stdout);
    }
    std::filesystem::remove_all(workDir);
    return failures == 0 ? 0 : 1;
}
