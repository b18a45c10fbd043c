#include "bank/BankWindowLayout.h"

#include "bank/StartWindowLayout.h"
#include "platform/CodePage.h"

// Rows name only what differs from the defaults; GCC 12 still warns about the
// members that designated initializers leave out.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using platform::Alignment;
using platform::Border;
using platform::ControlDescription;
using platform::RadioStyle;
using platform::WindowDescription;
using enum platform::ControlKind;
using enum platform::GuiEventKind;

namespace {

constexpr platform::Rgb maroon = 0x800000;

ControlDescription maroonCaption(const char* name, int left, int top, int width, const std::string& text)
{
    return {.name = name,
            .kind = TransparentLabel,
            .container = "外形框1",
            .left = left,
            .top = top,
            .width = width,
            .height = 19,
            .caption = text,
            .font = {"default", 16, true},
            .textColour = maroon};
}

ControlDescription answerButton(const char* letter, int left)
{
    return {.name = letter,
            .kind = RadioButton,
            .container = "外形框1",
            .left = left,
            .top = 282,
            .width = 44,
            .height = 37,
            .caption = letter,
            .font = {"default", 16, true},
            .alignment = Alignment::Centre,
            .radioStyle = RadioStyle::PushButton};
}

ControlDescription optionPreview(const char* name, int top)
{
    return {.name = name,
            .kind = Label,
            .container = "外形框1",
            .left = 9,
            .top = top,
            .width = 400,
            .height = 24,
            .border = Border::ThinSunken,
            .alignment = Alignment::Left};
}

ControlDescription actionButton(const char* name, int left, int top, int height, const std::string& text,
                                const char* handler)
{
    return {.name = name,
            .kind = Button,
            .container = "外形框1",
            .left = left,
            .top = top,
            .width = 107,
            .height = height,
            .caption = text,
            .font = {"微软雅黑", 29, true},
            .events = {{Clicked, handler}}};
}

} // namespace

WindowDescription bankWindowLayout()
{
    return {
        .id = "bank",
        .caption = productTitle(),
        .width = 1032,
        .height = 621,
        .controls =
            {
                {.name = "题库表",
                 .kind = Grid,
                 .left = 8,
                 .top = 8,
                 .width = 592,
                 .height = 584,
                 .grid =
                     {.rows = 0, .columns = 0, .fixedRows = 1, .fixedColumns = 1, .rowHeight = 27, .columnWidth = 60},
                 .events = {{CurrentCellChanged, "gridCellChanged"}},
                 .accessibleName = GBK("题库列表")},
                {.name = "外形框1",
                 .kind = ShapeBox,
                 .left = 607,
                 .top = 16,
                 .width = 417,
                 .height = 576,
                 .backgroundColour = 0xFFFFCE},
                {.name = "查询编辑框",
                 .kind = EditBox,
                 .container = "外形框1",
                 .left = 8,
                 .top = 8,
                 .width = 273,
                 .height = 32,
                 .multiLine = true,
                 .events = {{ContentChanged, "searchTextChanged"}},
                 .accessibleName = GBK("查询内容")},
                // Used only as a push button: a group of its own, so a search never
                // unchecks the answer chosen in the editor.
                {.name = "查询",
                 .kind = RadioButton,
                 .container = "外形框1",
                 .left = 289,
                 .top = 3,
                 .width = 120,
                 .height = 40,
                 .caption = GBK("查询"),
                 .font = {"微软雅黑", 21, true},
                 .alignment = Alignment::Centre,
                 .radioStyle = RadioStyle::PushButton,
                 .radioGroup = "search",
                 .events = {{Clicked, "searchClicked"}}},
                maroonCaption("透明标签3", 8, 42, 89, GBK("题库选项：")),
                maroonCaption("透明标签1", 8, 74, 49, GBK("标题：")),
                {.name = "标题编辑框",
                 .kind = EditBox,
                 .container = "外形框1",
                 .left = 57,
                 .top = 74,
                 .width = 352,
                 .height = 72,
                 .multiLine = true,
                 .accessibleName = GBK("标题")},
                maroonCaption("透明标签2", 8, 149, 401, GBK("选项临时格式调整，看下面校准效果：")),
                // One option per line.
                {.name = "内容编辑框",
                 .kind = EditBox,
                 .container = "外形框1",
                 .left = 9,
                 .top = 173,
                 .width = 400,
                 .height = 107,
                 .multiLine = true,
                 .events = {{ContentChanged, "contentChanged"}},
                 .accessibleName = GBK("题库选项，每行一项")},
                answerButton("A", 231),
                answerButton("B", 276),
                answerButton("C", 322),
                answerButton("D", 367),
                maroonCaption("透明标签6", 4, 292, 129, GBK("添加格式校准：")),
                {.name = "组合框1",
                 .kind = ComboBox,
                 .container = "外形框1",
                 .left = 121,
                 .top = 289,
                 .width = 109,
                 .height = 28,
                 .font = {"default", 20, false},
                 .comboItems = {{GBK("二项选择"), 2}, {GBK("三项选题"), 3}, {GBK("四项选题"), 4}},
                 .accessibleName = GBK("添加格式校准")},
                // What add and modify store as options A to D.
                optionPreview("A标签", 334),
                optionPreview("B标签", 359),
                optionPreview("C标签", 384),
                optionPreview("D标签", 409),
                actionButton("添加", 33, 498, 49, GBK("添加"), "addClicked"),
                actionButton("修改", 154, 500, 47, GBK("修改"), "modifyClicked"),
                actionButton("删除", 271, 500, 47, GBK("删除"), "deleteClicked"),
            },
        .events = {{Created, "bankCreated"}},
    };
}

namespace {

// The buttons of the actions from above share the row between the option
// previews and the editor's buttons, four places across the panel.
ControlDescription actionRowButton(const char* name, int place, const std::string& text, const char* handler,
                                   const std::string& accessibleName = {})
{
    return {.name = name,
            .kind = Button,
            .container = "外形框1",
            .left = 9 + place * 102,
            .top = 445,
            .width = 92,
            .height = 40,
            .caption = text,
            .font = {"微软雅黑", 21, true},
            .events = {{Clicked, handler}},
            .accessibleName = accessibleName};
}

} // namespace

std::vector<ControlDescription> bankExchangeButtons()
{
    return {actionRowButton("导入", 0, GBK("导入…"), "importClicked"),
            actionRowButton("导出", 1, GBK("导出…"), "exportClicked")};
}

ControlDescription bankStatisticsButton()
{
    return actionRowButton("统计", 2, GBK("统计…"), "statisticsClicked", GBK("题库统计"));
}

ControlDescription bankPapersButton()
{
    return actionRowButton("试卷", 3, GBK("试卷…"), "papersClicked", GBK("试卷管理"));
}

std::vector<ControlDescription> bankCategoryControls()
{
    auto box = [](const char* name, int left, int top, int width, const std::string& label) {
        return ControlDescription{.name = name,
                                  .kind = EditBox,
                                  .container = "外形框1",
                                  .left = left,
                                  .top = top,
                                  .width = width,
                                  .height = 25,
                                  .accessibleName = label};
    };
    return {maroonCaption("分类查询标签", 112, 47, 89, GBK("限定分类：")),
            box("分类查询编辑框", 201, 45, 208, GBK("查询限定的分类，空为全部")),
            maroonCaption("分类标签", 8, 552, 49, GBK("分类：")), box("分类编辑框", 57, 549, 200, GBK("分类"))};
}

std::vector<ControlDescription> bankMultipleKeyControls()
{
    return {maroonCaption("多选答案标签", 264, 552, 89, GBK("多选答案：")),
            {.name = "多选答案编辑框",
             .kind = EditBox,
             .container = "外形框1",
             .left = 353,
             .top = 549,
             .width = 56,
             .height = 25,
             .accessibleName = GBK("多选答案，如 ACD；空时以上面的按钮为准")}};
}
