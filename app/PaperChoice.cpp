#include "app/PaperChoice.h"

#include "platform/CodePage.h"
#include "platform/gui/Gui.h"

// Rows name only what differs from the defaults; GCC 12 still warns about the
// members that designated initializers leave out.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using platform::ControlDescription;
using platform::Gui;

std::vector<ControlDescription> PaperChoice::controls(const std::vector<PaperDefinition>& papers)
{
    std::vector<platform::ComboItem> items{{PaperDefinition::defaultName(), 0}};
    for (std::size_t i = 0; i < papers.size(); ++i)
        items.push_back({papers[i].name, static_cast<int>(i + 1)});
    // Above the identity-card number inside the frame, lined up with the
    // boxes and their captions below: room nothing else takes.
    return {{.name = labelName,
             .kind = platform::ControlKind::TransparentLabel,
             .container = frame,
             .left = 8,
             .top = 10,
             .width = 128,
             .height = 22,
             .caption = GBK("选 择 试 卷："),
             .font = {"default", 16, true},
             .textColour = 0x0000FF},
            {.name = comboName,
             .kind = platform::ControlKind::ComboBox,
             .container = frame,
             .left = 136,
             .top = 6,
             .width = 224,
             .height = 28,
             .comboItems = std::move(items),
             .accessibleName = GBK("试卷")}};
}

void PaperChoice::offer(const std::string& window, std::vector<PaperDefinition> papers)
{
    papers_ = std::move(papers);
    if (papers_.empty())
        return;
    for (const ControlDescription& control : controls(papers_))
        Gui::addControl(window, control);
    Gui::setComboIndex(window, comboName, 0);
}

std::optional<PaperDefinition> PaperChoice::chosen(const std::string& window) const
{
    if (papers_.empty())
        return std::nullopt;
    const int value = Gui::comboItemValue(window, comboName, Gui::comboIndex(window, comboName));
    if (value < 1 || value > static_cast<int>(papers_.size()))
        return std::nullopt;
    return papers_[static_cast<std::size_t>(value - 1)];
}
