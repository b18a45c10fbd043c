#include "app/DrillCategoryChooser.h"

#include "platform/CodePage.h"

// Rows name only what differs from the defaults; GCC 12 still warns about the
// members that designated initializers leave out.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using platform::ControlDescription;
using platform::Gui;
using platform::GuiEvent;
using platform::WindowDescription;
using enum platform::ControlKind;
using enum platform::GuiEventKind;

namespace {

ControlDescription button(const char* name, int left, const std::string& text, const char* handler)
{
    return {.name = name,
            .kind = Button,
            .left = left,
            .top = 88,
            .width = 96,
            .height = 32,
            .caption = text,
            .font = {"微软雅黑", 17, true},
            .events = {{Clicked, handler}}};
}

} // namespace

std::string DrillCategoryChooser::itemText(const std::string& name, int count)
{
    return name + GBK("（") + std::to_string(count) + GBK("题）");
}

WindowDescription DrillCategoryChooser::layout(const std::vector<DueCategory>& categories)
{
    // The first item practises every mistake, as the button did before
    // categories; item values are the places in categories, from 1.
    int total = 0;
    for (const DueCategory& category : categories)
        total += category.count;
    std::vector<platform::ComboItem> items{{itemText(GBK("全部错题"), total), 0}};
    for (std::size_t i = 0; i < categories.size(); ++i)
        items.push_back({itemText(categories[i].name, categories[i].count), static_cast<int>(i + 1)});
    return {.id = windowId,
            .caption = GBK("错题练习"),
            .width = 300,
            .height = 166,
            .controls = {{.name = "提示标签",
                          .kind = Label,
                          .left = 16,
                          .top = 14,
                          .width = 260,
                          .height = 22,
                          .caption = GBK("请选择要练习的分类：")},
                         {.name = "分类框",
                          .kind = ComboBox,
                          .left = 16,
                          .top = 42,
                          .width = 260,
                          .height = 28,
                          .comboItems = std::move(items),
                          .accessibleName = GBK("练习的分类")},
                         button("开始练习", 45, GBK("开始练习"), "startClicked"),
                         button("取消", 153, GBK("取消"), "cancelClicked")},
            .events = {{Created, "created"}}};
}

platform::HandlerTable DrillCategoryChooser::handlers()
{
    return {
        {"created", [](const GuiEvent&) { Gui::setComboIndex(windowId, "分类框", 0); }},
        {"startClicked",
         [this](const GuiEvent&) {
             const int value = Gui::comboItemValue(windowId, "分类框", Gui::comboIndex(windowId, "分类框"));
             if (value == 0)
                 chosen_ = std::string();
             else if (value > 0 && value <= static_cast<int>(categories_.size()))
                 chosen_ = categories_[static_cast<std::size_t>(value - 1)].name;
             else
                 return;
             Gui::closeWindow(windowId);
         }},
        {"cancelClicked", [](const GuiEvent&) { Gui::closeWindow(windowId); }},
    };
}

std::optional<std::string> DrillCategoryChooser::choose(const std::string& owner)
{
    chosen_.reset();
    Gui::runModal(layout(categories_), handlers(), owner);
    return chosen_;
}
