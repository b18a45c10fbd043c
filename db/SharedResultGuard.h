#pragma once

#include <string>

// An export walks the result that every DbRecordset shares and pumps window
// events meanwhile. While a guard lives, code reached through those events must
// not touch that result: DbRecordset refuses to open, move or close it, and a
// second export is refused, each with the reason in lastErrorText.
class SharedResultGuard {
public:
    SharedResultGuard();
    ~SharedResultGuard();
    SharedResultGuard(const SharedResultGuard&) = delete;
    SharedResultGuard& operator=(const SharedResultGuard&) = delete;

    static bool held();
    // True, with the reason reported on the current backend, when a call to
    // the shared recordset comes from window events pumped during an export.
    static bool refusesRecordsetCall();
    // True, with the reason reported, while an export runs.
    static bool refusesExport();

private:
    static void report(const std::string& message);
};
