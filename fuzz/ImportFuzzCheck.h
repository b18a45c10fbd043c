#pragma once

// The one property every import parser is fuzzed for: nothing crashes, and
// every question the check lets through is stored in the bank's own layout.
#include "exchange/BankChecker.h"
#include "exchange/BankFormat.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

inline int fuzzImport(const std::uint8_t* data, std::size_t size, BankFormat::Kind kind)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ParsedBank parsed = BankFormat::readBytes(bytes, kind);
    BankChecker checker;
    for (const CheckedQuestion& q : checker.check(parsed).questions) {
        const auto bars = std::count(q.tmnr.begin(), q.tmnr.end(), '|');
        const bool counted = q.did == "2" || q.did == "3" || q.did == "4";
        if (bars != 4 || !counted || q.answer.size() != 1 || q.answer[0] < 'A' ||
            q.answer[0] >= 'A' + (q.did[0] - '0') || q.title.empty() || !checker.fitsGbk(q.title) ||
            !checker.fitsGbk(q.tmnr))
            std::abort();
    }
    return 0;
}
