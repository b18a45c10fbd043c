#include "exchange/BankCommand.h"
#include "platform/FileSystem.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string defaultBank = "tk.db";
    if (const std::optional<std::string> folder = platform::FileSystem::programDirectory())
        defaultBank = platform::FileSystem::joinPath(*folder, "tk.db");
    return BankCommand::run(arguments, defaultBank, stdout, stderr);
}
