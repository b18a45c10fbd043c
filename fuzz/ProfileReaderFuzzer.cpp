// The profile reader on whole i.ini files, asked for the program's own key and
// for the first section and key the file names.
#include "FuzzFields.h"
#include "platform/FileSystem.h"
#include "platform/ProfileReader.h"

#include <algorithm>
#include <string>
#include <unistd.h>

using platform::ProfileReader;

namespace {

std::string_view between(std::string_view text, std::size_t from, char open, char close)
{
    const std::size_t start = text.find(open, from);
    if (start == std::string_view::npos)
        return {};
    const std::size_t end = text.find(close, start + 1);
    return end == std::string_view::npos ? text.substr(start + 1) : text.substr(start + 1, end - start - 1);
}

void checkLookup(std::string_view content, std::string_view section, std::string_view key)
{
    const std::string whole = ProfileReader::readStringFromText(content, section, key, "default ", 1 << 20);
    for (std::size_t bufferSize : {0, 1, 2, 3, 7}) {
        const std::string cut = ProfileReader::readStringFromText(content, section, key, "default ", bufferSize);
        FUZZ_CHECK(bufferSize == 0 ? cut.empty() : cut.size() < bufferSize);
        FUZZ_CHECK(whole.starts_with(cut));
        FUZZ_CHECK(cut.size() + 2 >= std::min(whole.size() + 1, bufferSize));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    checkLookup(content, "nev", "tite");
    const std::string_view section = between(content, 0, '[', ']');
    const std::size_t lineEnd = content.find('\n');
    const std::string_view key =
        between(content, lineEnd == std::string_view::npos ? content.size() : lineEnd, '\n', '=');
    checkLookup(content, section, key);

    // The file reader gives what the text reader gives for the file's bytes.
    static const std::string path = "/tmp/ProfileReaderFuzzer." + std::to_string(getpid()) + ".ini";
    FUZZ_CHECK(platform::FileSystem::writeFile(path, content));
    FUZZ_CHECK(ProfileReader::readString(path, section, key, "default") ==
               ProfileReader::readStringFromText(content, section, key, "default"));
    platform::FileSystem::removeFile(path);
    return 0;
}
