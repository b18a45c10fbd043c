// A module for the loader's tests: one exported function.
extern "C" int mockexam_probe_answer()
{
    return 42;
}
