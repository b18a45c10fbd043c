#include "bank/CorrectionWindowLayout.h"

#include "platform/CodePage.h"

// Rows name only what differs from the defaults; GCC 12 still warns about the
// members that designated initializers leave out.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using platform::Alignment;
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
            .left = left,
            .top = 289,
            .width = 55,
            .height = 43,
            .caption = letter,
            .font = {"微软雅黑", 29, true},
            .alignment = Alignment::Centre,
            .radioStyle = RadioStyle::PushButton};
}

} // namespace

WindowDescription correctionWindowLayout()
{
    return {
        .id = "correction",
        .caption = GBK("纠错窗口"),
        .width = 700,
        .height = 432,
        .controls =
            {
                maroonCaption("透明标签1", 12, 18, 49, GBK("标题：")),
                {.name = "标题编辑框",
                 .kind = EditBox,
                 .left = 61,
                 .top = 18,
                 .width = 611,
                 .height = 62,
                 .font = {"default", 16, false},
                 .multiLine = true,
                 .accessibleName = GBK("标题")},
                maroonCaption("透明标签2", 12, 84, 89, GBK("题库选项：")),
                // One option per line.
                {.name = "内容编辑框",
                 .kind = EditBox,
                 .left = 29,
                 .top = 103,
                 .width = 643,
                 .height = 177,
                 .font = {"default", 16, false},
                 .multiLine = true,
                 .accessibleName = GBK("题库选项，每行一项")},
                maroonCaption("透明标签5", 192, 303, 96, GBK("正确答案：")),
                answerButton("A", 303),
                answerButton("B", 367),
                answerButton("C", 431),
                answerButton("D", 495),
                {.name = "修改",
                 .kind = Button,
                 .left = 554,
                 .top = 336,
                 .width = 125,
                 .height = 43,
                 .caption = GBK("纠错"),
                 .font = {"微软雅黑", 29, true},
                 .events = {{Clicked, "correctClicked"}}},
                {.name = "标签1",
                 .kind = Label,
                 .left = 16,
                 .top = 356,
                 .width = 216,
                 .height = 24,
                 .caption = GBK("请勿随便修改，保证题库答案正确性"),
                 .textColour = 0xFF0000,
                 .alignment = Alignment::Left},
            },
        .events = {{Created, "correctionCreated"}},
    };
}

ControlDescription correctionCategoryLabel()
{
    ControlDescription label = maroonCaption("分类标签", 400, 84, 272, {});
    label.visible = false;
    return label;
}

std::vector<ControlDescription> correctionMultipleKeyControls()
{
    return {maroonCaption("多选答案标签", 303, 350, 96, GBK("多选答案：")),
            {.name = "多选答案编辑框",
             .kind = EditBox,
             .left = 399,
             .top = 346,
             .width = 90,
             .height = 28,
             .font = {"default", 16, false},
             .accessibleName = GBK("多选答案，如 ACD；空时以上面的按钮为准")}};
}
