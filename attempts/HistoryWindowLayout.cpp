#include "attempts/HistoryWindowLayout.h"

#include "platform/CodePage.h"

// Rows name only what differs from the defaults; GCC 12 still warns about the
// members that designated initializers leave out.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using platform::ControlDescription;
using platform::WindowDescription;
using enum platform::ControlKind;
using enum platform::GuiEventKind;

namespace {

ControlDescription button(const char* name, int left, const std::string& caption, const char* handler)
{
    return {.name = name,
            .kind = Button,
            .left = left,
            .top = 8,
            .width = 100,
            .height = 30,
            .caption = caption,
            .font = {"微软雅黑", 14, true},
            .events = {{Clicked, handler}},
            .accessibleName = caption};
}

} // namespace

WindowDescription historyWindowLayout()
{
    return {
        .id = "history",
        .caption = GBK("历史成绩"),
        .width = 1000,
        .height = 720,
        .controls =
            {
                {.name = "筛选标签",
                 .kind = Label,
                 .left = 8,
                 .top = 14,
                 .width = 80,
                 .height = 20,
                 .caption = GBK("身份证号："),
                 .font = {"微软雅黑", 14, true}},
                {.name = "身份证筛选框",
                 .kind = EditBox,
                 .left = 88,
                 .top = 8,
                 .width = 200,
                 .height = 30,
                 .font = {"微软雅黑", 16, false},
                 .accessibleName = GBK("按身份证号筛选")},
                button("筛选按钮", 296, GBK("查 询"), "filterClicked"),
                button("答卷按钮", 464, GBK("查看答卷"), "reportClicked"),
                button("曲线按钮", 572, GBK("成绩曲线"), "chartClicked"),
                {.name = "PDF按钮",
                 .kind = Button,
                 .left = 676,
                 .top = 8,
                 .width = 92,
                 .height = 30,
                 .caption = GBK("保存PDF…"),
                 .font = {"微软雅黑", 14, true},
                 .events = {{Clicked, "savePdfClicked"}},
                 .accessibleName = GBK("答卷保存为PDF")},
                button("导出CSV按钮", 772, GBK("导出CSV"), "exportCsvClicked"),
                button("导出XLS按钮", 880, GBK("导出XLS"), "exportXlsClicked"),
                {.name = "历史表格",
                 .kind = Grid,
                 .left = 8,
                 .top = 46,
                 .width = 978,
                 .height = 250,
                 .grid =
                     {.rows = 1, .columns = 10, .fixedRows = 1, .fixedColumns = 0, .rowHeight = 24, .columnWidth = 90},
                 .accessibleName = GBK("历次考试列表")},
                {.name = "历史浏览框",
                 .kind = HtmlView,
                 .left = 8,
                 .top = 304,
                 .width = 978,
                 .height = 340,
                 .accessibleName = GBK("成绩曲线与答卷")},
                // The paper combo added as the window opens sits left of these.
                {.name = "试卷筛选按钮",
                 .kind = Button,
                 .left = 312,
                 .top = 650,
                 .width = 100,
                 .height = 30,
                 .caption = GBK("筛 选"),
                 .font = {"微软雅黑", 14, true},
                 .events = {{Clicked, "paperFilterClicked"}},
                 .accessibleName = GBK("按试卷筛选列表")},
                {.name = "分类图按钮",
                 .kind = Button,
                 .left = 420,
                 .top = 650,
                 .width = 100,
                 .height = 30,
                 .caption = GBK("分类图"),
                 .font = {"微软雅黑", 14, true},
                 .events = {{Clicked, "categoryChartClicked"}},
                 .accessibleName = GBK("各分类答对率")},
            },
        .events = {{Created, "historyCreated"}},
    };
}
