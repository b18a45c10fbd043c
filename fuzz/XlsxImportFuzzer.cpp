// Excel workbooks (.xlsx), the zip container, the shared strings and the
// sheet XML.
#include "fuzz/ImportFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzzImport(data, size, BankFormat::Kind::Xlsx);
}
