// Feeds a harness every file of the given folders (or the given files), the
// way libFuzzer would, so the checked-in inputs run in the ordinary tests.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
#define FUZZ_REPLAY_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FUZZ_REPLAY_ASAN 1
#endif
#endif

namespace {

// The address space a replay may take: far above what any input of the
// corpus needs, far below what an archive that unpacks without end would
// ask for, so such an input fails here instead of passing on a large machine.
// AddressSanitizer reserves terabytes of address space for itself, so under
// it the limit is left to the fuzzer's own -rss_limit_mb / -malloc_limit_mb.
constexpr rlim_t addressSpaceLimit = rlim_t(1536) << 20;

void limitMemory()
{
#ifndef FUZZ_REPLAY_ASAN
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) == 0 &&
        (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > addressSpaceLimit)) {
        limit.rlim_cur = addressSpaceLimit;
        ::setrlimit(RLIMIT_AS, &limit);
    }
#endif
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    limitMemory();
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        if (fs::is_directory(argv[i], error)) {
            for (const auto& entry : fs::directory_iterator(argv[i]))
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
        } else {
            inputs.emplace_back(argv[i]);
        }
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs\n");
        return 1;
    }
    for (const fs::path& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // A copy of exactly the input's size, so reads past its end are caught.
        std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
        std::printf("%s\n", path.filename().c_str());
        LLVMFuzzerTestOneInput(data.data(), data.size());
    }
    std::printf("%zu inputs passed\n", inputs.size());
    return 0;
}
