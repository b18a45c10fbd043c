#include "learning/StatsWindowLayout.h"

#include "platform/CodePage.h"

// Rows name only what differs from the defaults; GCC 12 still warns about the
// members that designated initializers leave out.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using platform::ControlDescription;
using platform::WindowDescription;
using enum platform::ControlKind;
using enum platform::GuiEventKind;

namespace {

ControlDescription button(const char* name, int left, int width, const std::string& caption, const char* handler,
                          int top = 36)
{
    return {.name = name,
            .kind = Button,
            .left = left,
            .top = top,
            .width = width,
            .height = 30,
            .caption = caption,
            .font = {"微软雅黑", 14, true},
            .events = {{Clicked, handler}},
            .accessibleName = caption};
}

} // namespace

WindowDescription statsWindowLayout()
{
    std::vector<platform::ComboItem> columns;
    int value = 0;
    for (const char* heading :
         {"题号", "答案", "抽到次数", "答对率", "选A", "选B", "选C", "选D", "未答", "区分度", "答案可疑"})
        columns.push_back({platform::utf8ToGbk(heading), value++});
    return {
        .id = "statistics",
        .caption = GBK("题库统计"),
        .width = 1000,
        .height = 720,
        .controls =
            {
                {.name = "说明标签",
                 .kind = Label,
                 .left = 8,
                 .top = 8,
                 .width = 978,
                 .height = 22,
                 .font = {"微软雅黑", 14, false}},
                {.name = "排序标签",
                 .kind = Label,
                 .left = 8,
                 .top = 42,
                 .width = 60,
                 .height = 20,
                 .caption = GBK("排序："),
                 .font = {"微软雅黑", 14, true}},
                {.name = "排序列框",
                 .kind = ComboBox,
                 .left = 68,
                 .top = 36,
                 .width = 110,
                 .height = 30,
                 .font = {"微软雅黑", 14, false},
                 .comboItems = columns,
                 .accessibleName = GBK("排序的列")},
                button("排序按钮", 184, 90, GBK("排 序"), "sortClicked"),
                button("查看题目按钮", 300, 110, GBK("查看题目"), "openQuestionClicked"),
                button("分布按钮", 436, 100, GBK("得分分布"), "scoresClicked"),
                button("答对率按钮", 542, 100, GBK("答对率图"), "facilityClicked"),
                [] {
                    ControlDescription toggle = button("分类按钮", 652, 116, GBK("按分类"), "categoriesClicked");
                    toggle.accessibleName = GBK("按题目或按分类统计");
                    return toggle;
                }(),
                button("导出CSV按钮", 778, 100, GBK("导出CSV"), "exportCsvClicked"),
                button("导出XLS按钮", 886, 100, GBK("导出XLS"), "exportXlsClicked"),
                {.name = "统计表格",
                 .kind = Grid,
                 .left = 8,
                 .top = 74,
                 .width = 978,
                 .height = 300,
                 .grid =
                     {.rows = 1, .columns = 11, .fixedRows = 1, .fixedColumns = 0, .rowHeight = 24, .columnWidth = 80},
                 .accessibleName = GBK("各题统计")},
                // Over the question table while the figures are shown by category.
                {.name = "分类表格",
                 .kind = Grid,
                 .left = 8,
                 .top = 74,
                 .width = 978,
                 .height = 300,
                 .visible = false,
                 .grid =
                     {.rows = 1, .columns = 6, .fixedRows = 1, .fixedColumns = 0, .rowHeight = 24, .columnWidth = 80},
                 .accessibleName = GBK("各分类统计")},
                {.name = "统计图框",
                 .kind = HtmlView,
                 .left = 8,
                 .top = 382,
                 .width = 978,
                 .height = 262,
                 .accessibleName = GBK("得分分布与答对率图")},
                // The paper's combo joins them when the window opens, with the
                // papers the records name.
                {.name = "试卷标签",
                 .kind = Label,
                 .left = 8,
                 .top = 656,
                 .width = 60,
                 .height = 20,
                 .caption = GBK("试卷："),
                 .font = {"微软雅黑", 14, true}},
                button("试卷按钮", 316, 110, GBK("统 计"), "paperClicked", 650),
            },
        .events = {{Created, "statisticsCreated"}},
    };
}
