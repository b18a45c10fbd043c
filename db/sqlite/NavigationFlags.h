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
};
