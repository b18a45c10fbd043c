#include "exchange/ExchangeWindowLayout.h"

#include "platform/CodePage.h"

// Rows name only what differs from the defaults; GCC 12 still warns about the
// members that designated initializers leave out.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using platform::ControlDescription;
using platform::WindowDescription;
using enum platform::ControlKind;
using enum platform::GuiEventKind;

namespace {

ControlDescription button(const char* name, int left, int top, const std::string& text, const char* handler)
{
    return {.name = name,
            .kind = Button,
            .left = left,
            .top = top,
            .width = 96,
            .height = 32,
            .caption = text,
            .font = {"微软雅黑", 17, true},
            .events = {{Clicked, handler}}};
}

} // namespace

WindowDescription exchangeWindowLayout()
{
    return {
        .id = "exchange",
        .caption = GBK("题库导入导出"),
        .width = 660,
        .height = 520,
        .controls =
            {
                {.name = "文件标签",
                 .kind = Label,
                 .left = 12,
                 .top = 16,
                 .width = 56,
                 .height = 22,
                 .caption = GBK("文件：")},
                {.name = "文件编辑框", .kind = EditBox, .left = 68, .top = 12, .width = 464, .height = 28},
                button("模板", 540, 10, GBK("生成模板"), "templateClicked"),
                {.name = "严格",
                 .kind = CheckBox,
                 .left = 12,
                 .top = 50,
                 .width = 300,
                 .height = 24,
                 .caption = GBK("严格：有任何问题就一道也不导入")},
                {.name = "只导出查询结果",
                 .kind = CheckBox,
                 .left = 12,
                 .top = 50,
                 .width = 300,
                 .height = 24,
                 .caption = GBK("只导出题库窗口当前查到的题")},
                {.name = "编码",
                 .kind = ComboBox,
                 .left = 320,
                 .top = 48,
                 .width = 120,
                 .height = 28,
                 .comboItems = {{GBK("自动识别编码"), 0}, {GBK("UTF-8"), 1}, {GBK("GBK"), 2}}},
                button("检查", 444, 46, GBK("检查"), "checkClicked"),
                button("导入", 540, 46, GBK("导入"), "importClicked"),
                button("导出", 540, 46, GBK("导出"), "exportClicked"),
                // Formats without a category column (Aiken above all) get
                // theirs here; the grid gave up a row for it.
                {.name = "分类标签",
                 .kind = Label,
                 .left = 12,
                 .top = 90,
                 .width = 56,
                 .height = 22,
                 .caption = GBK("分类：")},
                {.name = "分类编辑框", .kind = EditBox, .left = 68, .top = 86, .width = 200, .height = 28},
                {.name = "分类说明",
                 .kind = Label,
                 .left = 276,
                 .top = 90,
                 .width = 360,
                 .height = 22,
                 .caption = GBK("文件中没有分类的题归入此分类；空着则不分类")},
                {.name = "问题表",
                 .kind = Grid,
                 .left = 12,
                 .top = 120,
                 .width = 624,
                 .height = 286,
                 .grid =
                     {.rows = 1, .columns = 2, .fixedRows = 1, .fixedColumns = 0, .rowHeight = 24, .columnWidth = 80}},
                {.name = "进度条", .kind = ProgressBar, .left = 12, .top = 414, .width = 624, .height = 18},
                {.name = "状态栏",
                 .kind = StatusBar,
                 .left = 12,
                 .top = 444,
                 .width = 624,
                 .height = 22,
                 .statusPanels = {{0, {}}}},
            },
        .events = {{Created, "exchangeCreated"}},
    };
}
