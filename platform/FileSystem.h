#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Plain file operations on GBK paths; the conversion to the system's UTF-8
// file names happens here and nowhere else.
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
    // Creates or truncates the file and writes the bytes unchanged.
    static bool writeFile(std::string_view path, std::string_view bytes);
    static bool readFile(std::string_view path, std::string& bytes);
    // Deletes a file; a missing file counts as deleted, a directory is kept.
    static bool removeFile(std::string_view path);

    // GBK path to the system's file name, and back; nullopt when the name
    // does not convert without loss.
    static std::optional<std::string> toSystemPath(std::string_view gbkPath);
    static std::optional<std::string> fromSystemPath(std::string_view systemPath);

    static constexpr char separator = '/';
};

} // namespace platform
