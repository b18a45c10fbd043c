#include "bank/StartWindowLayout.h"

#include "platform/CodePage.h"

// Rows name only what differs from the defaults; GCC 12 still warns about the
// members that designated initializers leave out.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using platform::Alignment;
using platform::WindowDescription;
using enum platform::ControlKind;
using enum platform::GuiEventKind;

const std::string& productTitle()
{
    return GBK("模拟考试系统");
}

WindowDescription startWindowLayout()
{
    return {
        .id = "start",
        .caption = productTitle(),
        .width = 422,
        .height = 328,
        .controls =
            {
                // The configured title replaces this caption at start-up.
                {.name = "标签2",
                 .kind = Label,
                 .left = 0,
                 .top = 8,
                 .width = 416,
                 .height = 40,
                 .caption = productTitle(),
                 .font = {"新宋体", 32, true},
                 .textColour = 0x00FF00,
                 .alignment = Alignment::Centre},
                {.name = "外形框1",
                 .kind = ShapeBox,
                 .left = 8,
                 .top = 52,
                 .width = 400,
                 .height = 225,
                 .backgroundColour = 0xFFFFCE},
                // Both captions on one label, four line breaks apart, beside the two boxes.
                {.name = "透明标签5",
                 .kind = TransparentLabel,
                 .container = "外形框1",
                 .left = 8,
                 .top = 44,
                 .width = 144,
                 .height = 88,
                 .caption = GBK("身 份 证 号：\r\n\r\n\r\n\r\n座 位 号 码："),
                 .font = {"default", 16, true},
                 .textColour = 0x0000FF},
                {.name = "身份证编辑框",
                 .kind = EditBox,
                 .container = "外形框1",
                 .left = 136,
                 .top = 40,
                 .width = 224,
                 .height = 32,
                 .caption = GBK("20150826"),
                 .font = {"微软雅黑", 20, true},
                 .accessibleName = GBK("身份证号")},
                {.name = "座位号编辑框",
                 .kind = EditBox,
                 .container = "外形框1",
                 .left = 136,
                 .top = 101,
                 .width = 224,
                 .height = 32,
                 .caption = GBK("15"),
                 .font = {"微软雅黑", 20, true},
                 .accessibleName = GBK("座位号码")},
                {.name = "按钮1",
                 .kind = Button,
                 .container = "外形框1",
                 .left = 213,
                 .top = 170,
                 .width = 176,
                 .height = 48,
                 .caption = GBK("进入考场"),
                 .font = {"微软雅黑", 29, true},
                 .events = {{Clicked, "enterExam"}}},
                {.name = "百分标签",
                 .kind = TransparentLabel,
                 .container = "外形框1",
                 .left = 8,
                 .top = 183,
                 .width = 32,
                 .height = 13,
                 .caption = GBK("0%"),
                 .font = {"微软雅黑", 12, false},
                 .textColour = 0xFF0000,
                 .embossed = true},
                {.name = "进度条1",
                 .kind = ProgressBar,
                 .container = "外形框1",
                 .left = 8,
                 .top = 204,
                 .width = 192,
                 .height = 14,
                 .progressMinimum = 0,
                 .progressMaximum = 100,
                 .progressPosition = 0},
                {.name = "标签1",
                 .kind = Label,
                 .left = 8,
                 .top = 277,
                 .width = 400,
                 .height = 22,
                 .caption = GBK("树立自我信心，把握各工段流程;消灭疵点起因，管理操作是关键"),
                 .textColour = 0x0000FF,
                 .alignment = Alignment::Centre},
                // Added below the design's own controls, in free room beside the enter button.
                {.name = "历史按钮",
                 .kind = Button,
                 .container = "外形框1",
                 .left = 8,
                 .top = 146,
                 .width = 104,
                 .height = 28,
                 .caption = GBK("历史成绩"),
                 .font = {"微软雅黑", 14, true},
                 .events = {{Clicked, "historyClicked"}},
                 .accessibleName = GBK("历史成绩")},
                // Between the history button and the enter button, neither of them moved.
                {.name = "错题按钮",
                 .kind = Button,
                 .container = "外形框1",
                 .left = 116,
                 .top = 146,
                 .width = 92,
                 .height = 28,
                 .caption = GBK("错题练习"),
                 .font = {"微软雅黑", 14, true},
                 .events = {{Clicked, "drillClicked"}},
                 .accessibleName = GBK("错题练习")},
            },
        .events = {{Created, "startCreated"}},
    };
}
