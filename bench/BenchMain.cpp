#include "bench/Comparison.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

extern char** environ;

namespace {

// What a comparison's own process reports back, one "@key value" line each.
ComparisonResult parseReport(const std::string& report, long& peakKb)
{
    ComparisonResult result;
    result.ok = false;
    result.note = "the comparison's process ended without a result";
    std::istringstream lines(report);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        std::string rest;
        std::getline(fields >> std::ws, rest);
        std::istringstream values(rest);
        double value;
        if (key == "@ours") {
            while (values >> value)
                result.oursMs.push_back(value);
        } else if (key == "@raw") {
            while (values >> value)
                result.rawMs.push_back(value);
        } else if (key == "@ok") {
            result.ok = rest == "1";
            result.note.clear();
        } else if (key == "@note") {
            result.note = rest;
        } else if (key == "@detail") {
            result.detail = rest;
        } else if (key == "@peak") {
            peakKb = std::atol(rest.c_str());
        }
    }
    return result;
}

// The comparison run in a fresh process of this program; its report read from a pipe.
ComparisonResult runApart(const std::string& name, const std::string& workDir, long& peakKb)
{
    const std::string program = benchProgram();
    int pipeEnds[2];
    if (program.empty() || ::pipe(pipeEnds) != 0)
        return parseReport({}, peakKb);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::string one = "--one";
    std::string nameArg = name;
    std::string dir = workDir;
    std::string programArg = program;
    char* argv[] = {programArg.data(), one.data(), nameArg.data(), dir.data(), nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    std::string report;
    char buffer[4096];
    ssize_t got;
    while (spawned == 0 && (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        report.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    if (spawned == 0)
        ::waitpid(child, nullptr, 0);
    return parseReport(report, peakKb);
}

int runOne(const std::string& name, const std::string& workDir)
{
    for (const auto& c : comparisons()) {
        if (c.name != name)
            continue;
        ComparisonResult r = c.run(workDir);
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        std::fflush(stdout);
        std::string report = "@ours";
        for (double ms : r.oursMs)
            report += " " + std::to_string(ms);
        report += "\n@raw";
        for (double ms : r.rawMs)
            report += " " + std::to_string(ms);
        report += "\n@peak " + std::to_string(usage.ru_maxrss) + "\n";
        if (!r.detail.empty())
            report += "@detail " + r.detail + "\n";
        if (!r.ok)
            report += "@note " + r.note + "\n";
        report += r.ok ? "@ok 1\n" : "@ok 0\n";
        std::fwrite(report.data(), 1, report.size(), stdout);
        std::fflush(stdout);
        // Tearing down what the comparison built (windows, backends) is no part of it.
        std::_Exit(0);
    }
    return 1;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

// Usage: bench_mockexam [NAME...]; with no names every comparison runs.
// Internally `--one NAME DIR` runs one comparison in its own process and
// `--mode NAME ARGS...` one of the extra entry points.
int main(int argc, char** argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "--one") == 0)
        return runOne(argv[2], argv[3]);
    if (argc >= 3 && std::strcmp(argv[1], "--mode") == 0) {
        for (const auto& [name, run] : childModes())
            if (name == argv[2])
                return run(argc - 2, argv + 2);
        return 1;
    }

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
        long peakKb = 0;
        ComparisonResult r = runApart(c.name, workDir.string(), peakKb);
        if (!r.ok || r.oursMs.empty() || r.rawMs.empty()) {
            std::printf("%s: not run (%s)\n", c.name.c_str(), r.note.c_str());
            std::fflush(stdout);
            ++failures;
            continue;
        }
        const double ours = median(r.oursMs);
        const double raw = median(r.rawMs);
        std::printf("%s: ours %.1f ms, raw %.1f ms, ratio %.2f\n", c.name.c_str(), ours, raw,
                    raw > 0 ? ours / raw : 0.0);
        std::printf(
            "  ours min %.1f ms, max %.1f ms; raw min %.1f ms, max %.1f ms; %zu runs a side; "
            "peak memory %.1f MB%s%s\n",
            *std::min_element(r.oursMs.begin(), r.oursMs.end()), *std::max_element(r.oursMs.begin(), r.oursMs.end()),
            *std::min_element(r.rawMs.begin(), r.rawMs.end()), *std::max_element(r.rawMs.begin(), r.rawMs.end()),
            r.oursMs.size(), peakKb / 1024.0, r.detail.empty() ? "" : "; ", r.detail.c_str());
        std::fflush(stdout);
    }
    std::filesystem::remove_all(workDir);
    return failures == 0 ? 0 : 1;
}
