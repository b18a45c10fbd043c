#include "room/OutboxProgress.h"

#include "platform/FileSystem.h"

#include <cstdlib>

std::string OutboxProgress::fileOf(const std::string& resultsPath)
{
    return resultsPath + ".sent";
}

long long OutboxProgress::read(const std::string& resultsPath)
{
    std::string text;
    if (!platform::FileSystem::readFile(fileOf(resultsPath), text, 64))
        return 0;
    return std::strtoll(text.c_str(), nullptr, 10);
}

bool OutboxProgress::write(const std::string& resultsPath, long long sent)
{
    return platform::FileSystem::replaceFile(fileOf(resultsPath), std::to_string(sent) + "\n");
}
