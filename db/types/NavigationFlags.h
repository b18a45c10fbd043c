#pragma once

// Which ends of a list a position stands at, for enabling the navigation
// buttons of a form: the start pair is set on the first position, the end
// pair on the last, all four when there is at most one position.
struct NavigationFlags {
    bool startFlag1 = false;
    bool startFlag2 = false;
    bool endFlag1 = false;
    bool endFlag2 = false;

    bool operator==(const NavigationFlags& other) const = default;

    // Positions count from 1. A position past the end leaves the flags as they
    // were, as both recordsets have always done.
    static void update(int position, int total, NavigationFlags& flags)
    {
        if (total <= 1)
            flags = {true, true, true, true};
        else if (position == 1)
            flags = {true, true, false, false};
        else if (position == total)
            flags = {false, false, true, true};
        else if (position < total)
            flags = {false, false, false, false};
    }
};
