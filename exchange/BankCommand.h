#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The command-line tool mockexam-bank:
//   [--bank FILE] import FILE [--dry-run] [--strict] [--format F] [--encoding E]
//   [--bank FILE] export FILE [--search TEXT] [--format F] [--encoding E]
//   template FILE [--format F] [--encoding E]
// Messages are UTF-8, problems one per line as "FILE:LINE: reason".
class BankCommand {
public:
    enum ExitCode { Success = 0, ProblemsFound = 1, UsageError = 2, Failure = 3 };

    // defaultBank: the bank used without --bank. Paths in the arguments are
    // the system's (UTF-8) and become GBK paths here; defaultBank is GBK.
    static int run(const std::vector<std::string>& arguments, const std::string& defaultBank, std::FILE* out,
                   std::FILE* err);
    static std::string usage();
};
