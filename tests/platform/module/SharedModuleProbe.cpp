// A module for the loader's tests: one exported function, and a table of
// functions as the program's modules hand them out.
#include <cstddef>

extern "C" int mockexam_probe_answer()
{
    return 42;
}

namespace {

struct ProbeTable {
    std::size_t size;
    int (*answer)();
};

} // namespace

extern "C" const ProbeTable* mockexam_probe_table()
{
    static const ProbeTable table{sizeof(ProbeTable), &mockexam_probe_answer};
    return &table;
}
