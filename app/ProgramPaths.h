#pragma once

#include <optional>
#include <string>
#include <string_view>

// Where the program's files live (the bank, i.ini, the results, the report,
// exports, backups and PDFs), decided once at start:
//  1. the program's own folder when it holds tk.db (a build, a portable copy);
//  2. else the folder that [paths] data= of /etc/mockexam/i.ini names, so that
//     the PCs of an exam room share one configuration;
//  3. else the user's data folder, $XDG_DATA_HOME/mockexam.
// The decision only reads; prepare() makes the folder of 2 and 3 and copies the
// installed sample bank and i.ini into it where they are missing, so that an
// installed program never writes beside itself.
class ProgramPaths {
public:
    enum class Rule { Portable, Machine, User };

    // What the decision looks at, so that it can be made on any machine.
    struct Inputs {
        std::optional<std::string> programDirectory; // GBK; none when its name is not
        std::optional<std::string> machineProfile;   // the text of /etc/mockexam/i.ini
        std::optional<std::string> home;             // the system's name (UTF-8)
        std::optional<std::string> xdgDataHome;      // the system's name (UTF-8)

        // This process's: its folder, the machine's profile, its environment.
        static Inputs ofThisProcess();
    };

    static constexpr char machineProfilePath[] = "/etc/mockexam/i.ini";
    static constexpr char bankFile[] = "tk.db";
    static constexpr char profileFile[] = "i.ini";
    static constexpr char reportFile[] = "temp.htm";

    static ProgramPaths decide(const Inputs& inputs);

    // Whether the command line asks for the decision instead of a window.
    static bool asked(int argc, char** argv);

    Rule rule() const { return rule_; }
    // GBK, no trailing separator; empty when no folder could be named (the
    // program's own folder is then the one looked in).
    const std::string& runDirectory() const { return runDirectory_; }
    // Where an installed program's sample bank and i.ini are (GBK).
    const std::string& shareDirectory() const { return shareDirectory_; }
    // Why the run folder lacks what it should hold (GBK); empty when nothing is wrong.
    const std::string& problem() const { return problem_; }

    // Makes the folder of rules 2 and 3 and copies into it each of the sample
    // bank and i.ini that it lacks; never replaces a file. False, with the
    // reason in problem(), when the bank is not there afterwards.
    bool prepare();

    // The decision as the user reads it: the rule and the full path of every
    // file (UTF-8, one per line).
    std::string describe() const;

private:
    std::string filePath(std::string_view name) const;

    Rule rule_ = Rule::Portable;
    std::string runDirectory_;
    std::string shareDirectory_;
    std::string problem_;
};
