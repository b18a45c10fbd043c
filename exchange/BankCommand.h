#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The command-line tool mockexam-bank:
//   [--bank FILE | --ini FILE] import FILE [--dry-run] [--strict] [--format F] [--encoding E]
//   [--bank FILE | --ini FILE] export FILE [--search TEXT] [--format F] [--encoding E]
//   [--bank FILE | --ini FILE] restore BACKUP
//   template FILE [--format F] [--encoding E]
// It works on the bank the program uses: the bank file given with --bank;
// otherwise the server that the [db] section of the i.ini names (--ini, or
// the one beside the default bank), and without one the default bank file.
// Messages are UTF-8, problems one per line as "FILE:LINE: reason".
class BankCommand {
public:
    enum ExitCode { Success = 0, ProblemsFound = 1, UsageError = 2, Failure = 3 };

    // defaultBank: the bank file used without --bank, beside the program's
    // i.ini. Paths in the arguments are the system's (UTF-8) and become GBK
    // paths here; defaultBank is GBK.
    static int run(const std::vector<std::string>& arguments, const std::string& defaultBank, std::FILE* out,
                   std::FILE* err);
    static std::string usage();
};
