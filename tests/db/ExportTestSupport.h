#pragma once

#include "platform/CodePage.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace exporttest {

// A folder of its own per test, removed afterwards.
class ScratchDir {
public:
    ScratchDir()
    {
        static int serial = 0;
        dir_ = std::filesystem::temp_directory_path() /
               ("mockexam-export-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~ScratchDir() { std::filesystem::remove_all(dir_); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // The path as the program's GBK text (the folder itself is ASCII).
    std::string path(const std::string& utf8Name) const { return platform::utf8ToGbk((dir_ / utf8Name).string()); }
    std::filesystem::path native(const std::string& utf8Name) const { return dir_ / utf8Name; }

private:
    std::filesystem::path dir_;
};

inline std::string readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

// Spreadsheet records built independently of the writer: little-endian words.
inline std::string words(std::initializer_list<std::uint16_t> ws)
{
    std::string out;
    for (std::uint16_t w : ws) {
        out.push_back(static_cast<char>(w & 0xFF));
        out.push_back(static_cast<char>(w >> 8));
    }
    return out;
}
inline std::string beginOfFile()
{
    return words({0x0809, 8, 0x0000, 0x0010, 0x0000, 0x0000}) + words({0x0042, 2, 936});
}
inline std::string endOfFile()
{
    return words({0x000A, 0});
}
inline std::string textCell(std::uint16_t row, std::uint16_t column, const std::string& gbk)
{
    auto n = static_cast<std::uint16_t>(gbk.size());
    return words({0x0204, static_cast<std::uint16_t>(8 + n), row, column, 0, n}) + gbk;
}
inline std::string blankCell(std::uint16_t row, std::uint16_t column)
{
    return words({0x0201, 6, row, column, 0x0017});
}

// The sheet as a real spreadsheet reader (Debian's python3-xlrd) sees it: one
// vector per row, each cell "T:" + UTF-8 text for a text cell or "" for an empty
// one. A file the reader rejects yields a single row holding "ERROR".
inline std::vector<std::vector<std::string>> readWithXlrd(const std::filesystem::path& file)
{
    const char* script = "import sys, xlrd\n"
                         "try:\n"
                         "    s = xlrd.open_workbook(sys.argv[1], encoding_override=\"gbk\").sheet_by_index(0)\n"
                         "except Exception as e:\n"
                         "    print(\"ERROR\"); sys.exit(0)\n"
                         "for r in range(s.nrows):\n"
                         "    cells = []\n"
                         "    for c in range(s.ncols):\n"
                         "        x = s.cell(r, c)\n"
                         "        cells.append(\"T:\" + x.value if x.ctype == xlrd.XL_CELL_TEXT else \"\")\n"
                         "    sys.stdout.buffer.write((\"\\x1f\".join(cells) + \"\\x1e\").encode(\"utf-8\"))\n";
    std::string command = "/usr/bin/python3 -c '" + std::string(script) + "' '" + file.string() + "'";
    std::vector<std::vector<std::string>> rows;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return {{"ERROR"}};
    std::string out;
    char chunk[65536];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        out.append(chunk, n);
    if (::pclose(pipe) != 0)
        return {{"ERROR"}};
    if (out == "ERROR\n")
        return {{"ERROR"}};
    std::size_t start = 0;
    while (start < out.size()) {
        std::size_t end = out.find('\x1e', start);
        if (end == std::string::npos)
            break;
        std::vector<std::string> row;
        std::size_t cellStart = start;
        for (;;) {
            std::size_t cellEnd = out.find('\x1f', cellStart);
            if (cellEnd == std::string::npos || cellEnd > end) {
                row.push_back(out.substr(cellStart, end - cellStart));
                break;
            }
            row.push_back(out.substr(cellStart, cellEnd - cellStart));
            cellStart = cellEnd + 1;
        }
        rows.push_back(std::move(row));
        start = end + 1;
    }
    return rows;
}

} // namespace exporttest
