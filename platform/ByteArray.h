#pragma once

#include <cstdint>
#include <vector>

// A length and the bytes: blobs and raw conversion results. Text is std::string
// holding GBK bytes; keeping the two types apart stops a blob from being shown
// or converted as text by accident.
using ByteArray = std::vector<std::uint8_t>;
