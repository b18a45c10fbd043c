#pragma once

#include "learning/DrillPlanner.h"
#include "platform/gui/Gui.h"

#include <optional>
#include <string>
#include <vector>

// The small window in which a candidate with mistakes in several categories
// chooses what to practise: every mistake, the first item, or one category.
class DrillCategoryChooser {
public:
    static constexpr char windowId[] = "drillCategory";

    explicit DrillCategoryChooser(std::vector<DueCategory> categories) : categories_(std::move(categories)) {}

    static platform::WindowDescription layout(const std::vector<DueCategory>& categories);
    // "安全生产（12题）".
    static std::string itemText(const std::string& name, int count);

    // Runs the window modal over owner: the category chosen, "" for every
    // mistake, nothing when the candidate cancelled or closed it.
    std::optional<std::string> choose(const std::string& owner);

private:
    platform::HandlerTable handlers();

    std::vector<DueCategory> categories_;
    std::optional<std::string> chosen_;
};
