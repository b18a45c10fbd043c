#pragma once

#include <string>

// One column of a table definition. Each backend gives the type codes and the
// flag bits its own meaning.
struct ColumnSpec {
    std::string name;
    int typeCode = 0;
    std::string defaultValue; // empty: no default
    int length = 0;
    int flags = 0;
};
