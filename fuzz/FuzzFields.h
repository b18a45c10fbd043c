#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// Cuts one fuzz input into fields at NUL bytes, so a seed file stays readable
// text: "pattern\0subject\0replacement". Fields past the end are empty.
class FuzzFields {
public:
    FuzzFields(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size)
    {
    }

    std::string_view next()
    {
        const std::size_t end = rest_.find('\0');
        const std::string_view field = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        return field;
    }

    // The first byte of the next field (0 when it is empty), for switches and sizes.
    unsigned nextByte()
    {
        const std::string_view field = next();
        return field.empty() ? 0u : static_cast<unsigned char>(field.front());
    }

    bool atEnd() const { return rest_.empty(); }
    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};

// Holds in every build type, unlike assert; a broken property ends the run so
// that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)
