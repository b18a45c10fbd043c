#pragma once

#include <cstdint>

// The backend that the facades forward to. Any value other than Sqlite and
// Mysql (None, or a stray 2) selects no backend and disables the facades.
enum class DbKind : std::int32_t {
    None = 0,
    Sqlite = 1,
    Mysql = 3,
};
