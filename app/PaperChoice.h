#pragma once

#include "papers/PaperDefinition.h"
#include "platform/gui/WindowDescription.h"

#include <optional>
#include <string>
#include <vector>

// The start window's choice of paper: a label and a combo in the free room
// of its frame, added only when the bank holds papers the administrator
// defined, so that a bank without them shows the window as it always was.
class PaperChoice {
public:
    static constexpr char labelName[] = "试卷标签";
    static constexpr char comboName[] = "试卷框";
    // The start window's frame, which holds the entries and buttons.
    static constexpr char frame[] = "外形框1";

    // 默认试卷 first (item value 0), then the papers (value = place + 1).
    static std::vector<platform::ControlDescription> controls(const std::vector<PaperDefinition>& papers);

    // Adds the controls to the window, the program's own paper chosen; nothing
    // when there are no papers.
    void offer(const std::string& window, std::vector<PaperDefinition> papers);
    // The paper chosen in the window; unset for 默认试卷 or when none was offered.
    std::optional<PaperDefinition> chosen(const std::string& window) const;

private:
    std::vector<PaperDefinition> papers_;
};
