#pragma once

#include <cstdio>
#include <string>

// The text poppler's pdftotext reads from a PDF file (system path), as UTF-8;
// empty when it reads nothing.
inline std::string pdfText(const std::string& systemPath)
{
    const std::string command = "pdftotext -enc UTF-8 '" + systemPath + "' - 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return {};
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, n);
    ::pclose(pipe);
    return text;
}
