#include "bank/PaperEditorLayout.h"

#include "papers/PaperDefinition.h"
#include "platform/CodePage.h"
#include "questions/QuestionKind.h"

// Rows name only what differs from the defaults; GCC 12 still warns about the
// members that designated initializers leave out.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using platform::ControlDescription;
using platform::WindowDescription;
using enum platform::ControlKind;
using enum platform::GuiEventKind;

namespace {

ControlDescription caption(const char* name, int left, int top, int width, const std::string& text)
{
    return {.name = name, .kind = Label, .left = left, .top = top + 4, .width = width, .height = 20, .caption = text};
}

ControlDescription box(const char* name, int left, int top, int width, const std::string& label)
{
    return {
        .name = name, .kind = EditBox, .left = left, .top = top, .width = width, .height = 26, .accessibleName = label};
}

ControlDescription checkBox(const char* name, int left, int top, int width, const std::string& text)
{
    return {.name = name, .kind = CheckBox, .left = left, .top = top, .width = width, .height = 24, .caption = text};
}

ControlDescription combo(const char* name, int left, int top, int width, std::vector<platform::ComboItem> items,
                         const std::string& label)
{
    return {.name = name,
            .kind = ComboBox,
            .left = left,
            .top = top,
            .width = width,
            .height = 26,
            .comboItems = std::move(items),
            .accessibleName = label};
}

ControlDescription button(const char* name, int left, int top, const std::string& text, const char* handler)
{
    return {.name = name,
            .kind = Button,
            .left = left,
            .top = top,
            .width = 100,
            .height = 34,
            .caption = text,
            .font = {"微软雅黑", 17, true},
            .events = {{Clicked, handler}}};
}

ControlDescription grid(const char* name, int left, int top, int height, const std::string& label,
                        const char* handler = nullptr)
{
    ControlDescription control{.name = name,
                               .kind = Grid,
                               .left = left,
                               .top = top,
                               .width = 434,
                               .height = height,
                               .grid = {.rows = 1, .columns = 1, .fixedRows = 1, .fixedColumns = 0, .rowHeight = 25},
                               .accessibleName = label};
    if (handler != nullptr)
        control.events = {{CurrentCellChanged, handler}};
    return control;
}

} // namespace

WindowDescription paperEditorLayout(const std::vector<std::string>& categories)
{
    // Item values: 0 for the whole bank, then the places in categories from 1;
    // 0 for any kind, then each kind from 1.
    std::vector<platform::ComboItem> categoryItems{{GBK("整个题库"), 0}};
    for (std::size_t i = 0; i < categories.size(); ++i)
        categoryItems.push_back({categories[i], static_cast<int>(i + 1)});
    std::vector<platform::ComboItem> kindItems{{GBK("任意"), 0}};
    for (int kind = 0; kind < QuestionKind::count; ++kind)
        kindItems.push_back({QuestionKind::name(static_cast<QuestionKind::Kind>(kind)), kind + 1});

    return {
        .id = "paperEditor",
        .caption = GBK("试卷管理"),
        .width = 906,
        .height = 610,
        .controls =
            {
                grid("试卷表", 8, 8, 200, GBK("试卷列表"), "paperChosen"),
                caption("名称标签", 8, 218, 70, GBK("试卷名称：")),
                box("名称编辑框", 80, 218, 362, GBK("试卷名称")),
                caption("时间标签", 8, 252, 70, GBK("考试时间：")),
                box("时间编辑框", 80, 252, 60, GBK("考试时间，分钟")),
                caption("分钟标签", 146, 252, 40, GBK("分钟")),
                caption("及格标签", 204, 252, 70, GBK("及格分数：")),
                box("及格编辑框", 276, 252, 60, GBK("及格分数")),
                caption("分标签", 342, 252, 20, GBK("分")),
                caption("分值标签", 8, 286, 70, GBK("每题分值：")),
                caption("单选标签", 80, 286, 32, QuestionKind::name(QuestionKind::Single)),
                box("单选分值", 112, 286, 50, GBK("每道单选题的分值")),
                caption("多选标签", 176, 286, 32, QuestionKind::name(QuestionKind::Multiple)),
                box("多选分值", 208, 286, 50, GBK("每道多选题的分值")),
                caption("判断标签", 272, 286, 32, QuestionKind::name(QuestionKind::Judgement)),
                box("判断分值", 304, 286, 50, GBK("每道判断题的分值")),
                checkBox("部分得分", 8, 320, 434, GBK("多选题只选对一部分、没有选错时，按比例得分")),
                caption("方式标签", 8, 352, 70, GBK("答题方式：")),
                combo("方式框", 80, 352, 100,
                      {{PaperDefinition::modeName(PaperDefinition::Mode::Practice), 0},
                       {PaperDefinition::modeName(PaperDefinition::Mode::Exam), 1}},
                      GBK("答题方式")),
                caption("方式说明", 188, 352, 254, GBK("练习随答随判对错；考试交卷后才判")),
                checkBox("到时交卷", 8, 386, 160, GBK("时间到自动交卷")),
                checkBox("选项乱序", 176, 386, 266, GBK("每位考生的选项顺序各不相同")),
                caption("抽题标签", 450, 4, 300, GBK("抽题要求（按顺序抽取）：")),
                grid("规则表", 450, 30, 188, GBK("抽题要求")),
                combo("规则分类", 450, 226, 180, std::move(categoryItems), GBK("抽题的分类")),
                combo("规则题型", 636, 226, 80, std::move(kindItems), GBK("抽题的题型")),
                box("规则题数", 722, 226, 50, GBK("抽题的题数")),
                caption("道标签", 776, 226, 20, GBK("道")),
                button("添加要求", 450, 260, GBK("添加要求"), "addRuleClicked"),
                button("删除要求", 558, 260, GBK("删除要求"), "removeRuleClicked"),
                caption("题量标签", 450, 298, 300, GBK("题库中现有的题目：")),
                grid("题量表", 450, 324, 180, GBK("题库中各分类、各题型的题数")),
                button("新建", 8, 530, GBK("新建"), "newClicked"),
                button("保存", 116, 530, GBK("保存"), "saveClicked"),
                button("删除", 224, 530, GBK("删除"), "deleteClicked"),
                {.name = "状态标签", .kind = Label, .left = 332, .top = 537, .width = 442, .height = 20},
                button("关闭", 784, 530, GBK("关闭"), "closeClicked"),
            },
        .events = {{Created, "paperEditorCreated"}},
    };
}
