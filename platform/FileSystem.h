#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// File operations on the program's paths, which are GBK texts like every text
// of the program. The system's file names are UTF-8; the conversion happens
// here and nowhere else, once per operation. Every file the program opens is
// opened here, by FileBytes or by ReplacingFile.
class FileSystem {
public:
    // The directory that holds the running program, as GBK without a trailing
    // separator; empty when its name has characters GBK cannot hold (every
    // path built from it would name another file).
    static std::optional<std::string> programDirectory();

    // `directory` + the platform separator + `name`.
    static std::string joinPath(std::string_view directory, std::string_view name);

    // True when a directory entry of that name exists (file or directory).
    static bool exists(std::string_view path);
    static bool isDirectory(std::string_view path);
    // Size of a regular file; nullopt for anything else or a missing file.
    static std::optional<std::uint64_t> fileSize(std::string_view path);

    // Creates or truncates the file and writes the bytes unchanged.
    static bool writeFile(std::string_view path, std::string_view bytes);
    // Writes the bytes to a new file beside the target and renames it over
    // the target: readers see the old content or the new one, never a part,
    // and a failed write leaves the old content.
    static bool replaceFile(std::string_view path, std::string_view bytes);
    // Writes every byte to an open descriptor, through short writes and
    // interruptions; false on an error.
    static bool writeAll(int fd, const char* data, std::size_t size);
    // The file's bytes, at most `limit` of them from its start.
    static bool readFile(std::string_view path, std::string& bytes, std::size_t limit = SIZE_MAX);
    // Deletes a file; a missing file counts as deleted, a directory is kept.
    static bool removeFile(std::string_view path);
    // Renames a file, replacing a file of the new name.
    static bool rename(std::string_view from, std::string_view to);
    // Copies a file to a name that does not exist yet; false, with nothing
    // left behind, when it cannot.
    static bool copyFile(std::string_view from, std::string_view to);
    // Makes the directory and any missing parents; true when it is a
    // directory afterwards.
    static bool createDirectories(std::string_view path);
    // The names (GBK) of a directory's entries, without "." and "..", in no
    // particular order. Names GBK cannot hold are left out: no path of the
    // program can name them. False when the directory cannot be read.
    static bool listDirectory(std::string_view directory, std::vector<std::string>& names);

    // GBK path to the system's file name, and back; nullopt when the name
    // does not convert without loss. Only for libraries that open files by
    // name themselves (SQLite, the spreadsheet libraries) and for names the
    // system hands over (a temporary folder).
    static std::optional<std::string> toSystemPath(std::string_view gbkPath);
    static std::optional<std::string> fromSystemPath(std::string_view systemPath);

    static constexpr char separator = '/';
};

} // namespace platform
