#include "bank/BankWindowLayout.h"
#include "bank/CorrectionWindowLayout.h"
#include "bank/ExamWindowLayout.h"
#include "bank/StartWindowLayout.h"
#include "platform/CodePage.h"
#include "platform/gui/Gui.h"
#include "platform/gui/GuiDriver.h"
#include "platform/gui/HtmlView.h"
#include "platform/gui/PictureBox.h"
#include "platform/gui/ShapeBox.h"
#include "platform/gui/StatusBarWidget.h"
#include "platform/gui/TransparentLabel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

using platform::Alignment;
using platform::Border;
using platform::ControlDescription;
using platform::ControlKind;
using platform::Gui;
using platform::GuiDriver;
using platform::GuiEventKind;
using platform::GuiRect;
using platform::RadioStyle;
using platform::Rgb;
using platform::WindowDescription;
using enum platform::ControlKind;
using enum platform::GuiEventKind;

namespace platform {

void PrintTo(const GuiRect& rect, std::ostream* out)
{
    *out << "{" << rect.left << ", " << rect.top << ", " << rect.width << ", " << rect.height << "}";
}

} // namespace platform

namespace {

// The windows as the design tables give them, written out independently of the
// descriptions so that a slip in either shows up. Texts are UTF-8.
struct Row {
    const char* name;
    ControlKind kind;
    const char* container; // "" = the window
    GuiRect rect;
    const char* caption;
    const char* face;
    int pixels; // 0 = the default height
    bool bold;
    std::optional<Rgb> text;
    std::optional<Rgb> background;
    const char* tag;
    bool visible;
};

// The other settings of every label, transparent label, edit box and radio button.
struct Look {
    const char* name;
    Border border;
    Alignment alignment;
    bool embossed;
    bool multiLine;
    RadioStyle radioStyle;
};

struct Binding {
    const char* control; // "" = the window
    GuiEventKind event;
    const char* handler;
};

struct WindowTable {
    const char* id;
    WindowDescription (*layout)();
    const char* caption;
    int width;
    int height;
    std::vector<Row> rows;
    std::vector<Look> looks;
    std::vector<Binding> bindings;
};

constexpr Rgb red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, yellow = 0xFFFF00, grey = 0x808080, silver = 0xC0C0C0,
              maroon = 0x800000;
constexpr int defaultPixels = 12;

const WindowTable startTable{
    "start",
    startWindowLayout,
    "模拟考试系统",
    422,
    328,
    {
        {"标签2", Label, "", {0, 8, 416, 40}, "模拟考试系统", "新宋体", 32, true, green, {}, "", true},
        {"外形框1", ShapeBox, "", {8, 52, 400, 225}, "", "default", 0, false, {}, 0xFFFFCE, "", true},
        {"透明标签5",
         TransparentLabel,
         "外形框1",
         {8, 44, 144, 88},
         "身 份 证 号：\r\n\r\n\r\n\r\n座 位 号 码：",
         "default",
         16,
         true,
         blue,
         {},
         "",
         true},
        {"身份证编辑框", EditBox, "外形框1", {136, 40, 224, 32}, "20150826", "微软雅黑", 20, true, {}, {}, "", true},
        {"座位号编辑框", EditBox, "外形框1", {136, 101, 224, 32}, "15", "微软雅黑", 20, true, {}, {}, "", true},
        {"按钮1", Button, "外形框1", {213, 170, 176, 48}, "进入考场", "微软雅黑", 29, true, {}, {}, "", true},
        {"百分标签", TransparentLabel, "外形框1", {8, 183, 32, 13}, "0%", "微软雅黑", 12, false, red, {}, "", true},
        {"进度条1", ProgressBar, "外形框1", {8, 204, 192, 14}, "", "default", 0, false, {}, {}, "", true},
        {"标签1",
         Label,
         "",
         {8, 277, 400, 22},
         "树立自我信心，把握各工段流程;消灭疵点起因，管理操作是关键",
         "default",
         0,
         false,
         blue,
         {},
         "",
         true},
        {"历史按钮", Button, "外形框1", {8, 146, 104, 28}, "历史成绩", "微软雅黑", 14, true, {}, {}, "", true},
        {"错题按钮", Button, "外形框1", {116, 146, 92, 28}, "错题练习", "微软雅黑", 14, true, {}, {}, "", true},
    },
    {
        {"标签2", Border::None, Alignment::Centre, false, false, RadioStyle::Classic},
        {"透明标签5", Border::None, Alignment::Centre, false, false, RadioStyle::Classic},
        {"身份证编辑框", Border::None, Alignment::Left, false, false, RadioStyle::Classic},
        {"座位号编辑框", Border::None, Alignment::Left, false, false, RadioStyle::Classic},
        {"百分标签", Border::None, Alignment::Centre, true, false, RadioStyle::Classic},
        {"标签1", Border::None, Alignment::Centre, false, false, RadioStyle::Classic},
    },
    {
        {"", Created, "startCreated"},
        {"按钮1", Clicked, "enterExam"},
        {"历史按钮", Clicked, "historyClicked"},
        {"错题按钮", Clicked, "drillClicked"},
    },
};

const WindowTable examTable{
    "exam",
    examWindowLayout,
    "模拟考试系统",
    1017,
    660,
    {
        {"状态条", StatusBar, "", {8, 8, 429, 20}, "", "default", 0, false, {}, {}, "", true},
        {"标签2", Label, "", {8, 11, 200, 34}, "模拟题库练习", "新宋体", 29, true, 0x0088FF, {}, "", true},
        {"透明标签4",
         TransparentLabel,
         "",
         {808, 6, 197, 19},
         "随机100道题、每题1分",
         "微软雅黑",
         16,
         true,
         silver,
         {},
         "",
         true},
        {"超文本浏览框1", HtmlView, "", {216, 8, 56, 24}, "", "default", 0, false, {}, {}, "", false},
        {"高级选择夹2", PageControl, "", {2, 60, 211, 363}, "考生信息", "default", 0, false, {}, {}, "", true},
        {"图片框1", PictureBox, "高级选择夹2", {18, 30, 178, 244}, "", "default", 0, false, {}, {}, "", true},
        {"透明标签8",
         TransparentLabel,
         "高级选择夹2",
         {8, 276, 64, 19},
         "身份证号：",
         "default",
         0,
         false,
         grey,
         {},
         "",
         true},
        {"透明标签1",
         TransparentLabel,
         "高级选择夹2",
         {72, 276, 120, 19},
         "20150826",
         "default",
         0,
         false,
         grey,
         {},
         "",
         true},
        {"透明标签3",
         TransparentLabel,
         "高级选择夹2",
         {8, 308, 64, 19},
         "桌 位 号：",
         "default",
         0,
         false,
         grey,
         {},
         "",
         true},
        {"透明标签2",
         TransparentLabel,
         "高级选择夹2",
         {72, 308, 120, 19},
         "15",
         "default",
         0,
         false,
         grey,
         {},
         "",
         true},
        {"题库管理按钮",
         StyledButton,
         "高级选择夹2",
         {7, 329, 81, 28},
         "题库管理",
         "default",
         0,
         false,
         {},
         {},
         "",
         true},
        {"标签3", Label, "", {97, 425, 31, 31}, "正确", "default", 0, false, red, green, "", true},
        {"标签4", Label, "", {137, 425, 31, 31}, "错误", "default", 0, false, yellow, red, "", true},
        {"标签5", Label, "", {177, 425, 31, 31}, "未答", "default", 0, false, {}, {}, "", true},
        {"高级选择夹3", PageControl, "", {2, 438, 211, 168}, "剩余时间", "default", 0, false, {}, {}, "", true},
        {"时间", TransparentLabel, "高级选择夹3", {8, 42, 184, 64}, "", "default", 48, true, grey, {}, "", true},
        {"透明标签12", TransparentLabel, "高级选择夹3", {9, 136, 195, 19}, "", "微软雅黑", 16, true, red, {}, "", true},
        {"高级选择夹1", PageControl, "", {216, 8, 792, 600}, "题目", "default", 0, false, {}, {}, "", true},
        {"id标签", TransparentLabel, "高级选择夹1", {8, 55, 32, 19}, "1", "default", 16, false, {}, {}, "", true},
        {"透明标签9",
         TransparentLabel,
         "高级选择夹1",
         {40, 56, 16, 19},
         "、",
         "default",
         16,
         false,
         blue,
         {},
         "",
         true},
        {"Titlexb", TransparentLabel, "高级选择夹1", {50, 56, 734, 56}, "题目", "default", 16, false, {}, {}, "", true},
        {"外形框1", ShapeBox, "高级选择夹1", {9, 117, 775, 219}, "", "default", 0, false, {}, 0xFFFFDD, "", true},
        {"A", RadioButton, "高级选择夹1", {28, 118, 724, 47}, "", "default", 16, false, {}, 0xFFFFDD, "A", true},
        {"B", RadioButton, "高级选择夹1", {28, 183, 724, 52}, "", "default", 16, false, {}, 0xFFFFDD, "B", true},
        {"C", RadioButton, "高级选择夹1", {28, 232, 724, 52}, "", "default", 16, false, {}, 0xFFFFDD, "C", true},
        {"D", RadioButton, "高级选择夹1", {28, 283, 724, 52}, "", "default", 16, false, {}, 0xFFFFDD, "D", true},
        {"透明标签10",
         TransparentLabel,
         "高级选择夹1",
         {13, 354, 75, 19},
         "正确答案：",
         "default",
         16,
         false,
         {},
         {},
         "",
         true},
        {"透明标签7", TransparentLabel, "高级选择夹1", {85, 354, 32, 19}, "关", "default", 16, false, {}, {}, "", true},
        {"显示正确答案",
         CheckBox,
         "高级选择夹1",
         {128, 354, 72, 19},
         "正确答案",
         "default",
         0,
         false,
         {},
         {},
         "",
         true},
        {"透明标签5",
         TransparentLabel,
         "高级选择夹1",
         {211, 354, 144, 19},
         "您选择的答案是：",
         "微软雅黑",
         16,
         false,
         silver,
         {},
         "",
         true},
        {"透明标签6",
         TransparentLabel,
         "高级选择夹1",
         {347, 354, 40, 19},
         "",
         "微软雅黑",
         16,
         true,
         blue,
         {},
         "",
         true},
        {"透明标签11",
         TransparentLabel,
         "高级选择夹1",
         {384, 354, 238, 19},
         "题库编号：【  】",
         "微软雅黑",
         16,
         true,
         red,
         {},
         "",
         true},
        {"按钮1", Button, "高级选择夹1", {648, 346, 66, 30}, "大字体+", "default", 0, false, {}, {}, "", true},
        {"按钮2", Button, "高级选择夹1", {718, 346, 66, 30}, "小字体-", "default", 0, false, {}, {}, "", true},
        {"外形框2", ShapeBox, "高级选择夹1", {9, 388, 775, 80}, "", "default", 0, false, {}, 0xFDF9C4, "", true},
        {"纠错按钮", Button, "外形框2", {277, 22, 118, 43}, "纠 错", "微软雅黑", 19, true, {}, {}, "", true},
        {"上一题", Button, "外形框2", {402, 22, 118, 43}, "上一题", "微软雅黑", 19, true, {}, {}, "", true},
        {"下一题", Button, "外形框2", {527, 22, 118, 43}, "下一题", "微软雅黑", 19, true, {}, {}, "", true},
        {"交卷", Button, "外形框2", {651, 22, 118, 43}, "交 卷", "微软雅黑", 19, true, {}, {}, "", true},
        {"复制标签", Label, "高级选择夹1", {9, 471, 30, 30}, "1", "default", 16, true, {}, {}, "1", false},
        {"历史按钮", Button, "高级选择夹2", {100, 329, 96, 28}, "历史成绩", "default", 0, false, {}, {}, "", false},
    },
    {
        {"标签2", Border::SingleLine, Alignment::Left, false, false, RadioStyle::Classic},
        {"透明标签4", Border::None, Alignment::Centre, true, false, RadioStyle::Classic},
        {"透明标签8", Border::None, Alignment::Left, false, false, RadioStyle::Classic},
        {"透明标签1", Border::None, Alignment::Left, false, false, RadioStyle::Classic},
        {"透明标签3", Border::None, Alignment::Left, false, false, RadioStyle::Classic},
        {"透明标签2", Border::None, Alignment::Left, false, false, RadioStyle::Classic},
        {"标签3", Border::Raised, Alignment::Centre, false, false, RadioStyle::Classic},
        {"标签4", Border::Raised, Alignment::Centre, false, false, RadioStyle::Classic},
        {"标签5", Border::Raised, Alignment::Centre, false, false, RadioStyle::Classic},
        {"时间", Border::None, Alignment::Centre, true, false, RadioStyle::Classic},
        {"透明标签12", Border::None, Alignment::Centre, true, false, RadioStyle::Classic},
        {"id标签", Border::None, Alignment::Centre, true, false, RadioStyle::Classic},
        {"透明标签9", Border::None, Alignment::Left, true, false, RadioStyle::Classic},
        {"Titlexb", Border::None, Alignment::Left, true, false, RadioStyle::Classic},
        {"A", Border::None, Alignment::Left, false, false, RadioStyle::Classic},
        {"B", Border::None, Alignment::Left, false, false, RadioStyle::Classic},
        {"C", Border::None, Alignment::Left, false, false, RadioStyle::Classic},
        {"D", Border::None, Alignment::Left, false, false, RadioStyle::Classic},
        {"透明标签10", Border::None, Alignment::Centre, false, false, RadioStyle::Classic},
        {"透明标签7", Border::None, Alignment::Centre, false, false, RadioStyle::Classic},
        {"透明标签5", Border::None, Alignment::Centre, true, false, RadioStyle::Classic},
        {"透明标签6", Border::None, Alignment::Centre, true, false, RadioStyle::Classic},
        {"透明标签11", Border::None, Alignment::Centre, true, false, RadioStyle::Classic},
        {"复制标签", Border::Raised, Alignment::Centre, false, false, RadioStyle::Classic},
    },
    {
        {"", Created, "examCreated"},
        {"", BeingDestroyed, "examBeingDestroyed"},
        {"状态条", MousePressed, "statusBarPressed"},
        {"题库管理按钮", Clicked, "bankButtonClicked"},
        {"A", Clicked, "optionClicked"},
        {"B", Clicked, "optionClicked"},
        {"C", Clicked, "optionClicked"},
        {"D", Clicked, "optionClicked"},
        {"显示正确答案", Clicked, "answerSwitchClicked"},
        {"按钮1", Clicked, "largerFontClicked"},
        {"按钮2", Clicked, "smallerFontClicked"},
        {"纠错按钮", Clicked, "correctionButtonClicked"},
        {"上一题", Clicked, "previousClicked"},
        {"下一题", Clicked, "nextClicked"},
        {"交卷", Clicked, "handInClicked"},
        {"复制标签", MousePressed, "cellPressed"},
        {"历史按钮", Clicked, "historyClicked"},
    },
};

const WindowTable bankTable{
    "bank",
    bankWindowLayout,
    "模拟考试系统",
    1032,
    621,
    {
        {"题库表", Grid, "", {8, 8, 592, 584}, "", "default", 0, false, {}, {}, "", true},
        {"外形框1", ShapeBox, "", {607, 16, 417, 576}, "", "default", 0, false, {}, 0xFFFFCE, "", true},
        {"查询编辑框", EditBox, "外形框1", {8, 8, 273, 32}, "", "default", 0, false, {}, {}, "", true},
        {"查询", RadioButton, "外形框1", {289, 3, 120, 40}, "查询", "微软雅黑", 21, true, {}, {}, "", true},
        {"透明标签3",
         TransparentLabel,
         "外形框1",
         {8, 42, 89, 19},
         "题库选项：",
         "default",
         16,
         true,
         maroon,
         {},
         "",
         true},
        {"透明标签1",
         TransparentLabel,
         "外形框1",
         {8, 74, 49, 19},
         "标题：",
         "default",
         16,
         true,
         maroon,
         {},
         "",
         true},
        {"标题编辑框", EditBox, "外形框1", {57, 74, 352, 72}, "", "default", 0, false, {}, {}, "", true},
        {"透明标签2",
         TransparentLabel,
         "外形框1",
         {8, 149, 401, 19},
         "选项临时格式调整，看下面校准效果：",
         "default",
         16,
         true,
         maroon,
         {},
         "",
         true},
        {"内容编辑框", EditBox, "外形框1", {9, 173, 400, 107}, "", "default", 0, false, {}, {}, "", true},
        {"A", RadioButton, "外形框1", {231, 282, 44, 37}, "A", "default", 16, true, {}, {}, "", true},
        {"B", RadioButton, "外形框1", {276, 282, 44, 37}, "B", "default", 16, true, {}, {}, "", true},
        {"C", RadioButton, "外形框1", {322, 282, 44, 37}, "C", "default", 16, true, {}, {}, "", true},
        {"D", RadioButton, "外形框1", {367, 282, 44, 37}, "D", "default", 16, true, {}, {}, "", true},
        {"透明标签6",
         TransparentLabel,
         "外形框1",
         {4, 292, 129, 19},
         "添加格式校准：",
         "default",
         16,
         true,
         maroon,
         {},
         "",
         true},
        {"组合框1", ComboBox, "外形框1", {121, 289, 109, 28}, "", "default", 20, false, {}, {}, "", true},
        {"A标签", Label, "外形框1", {9, 334, 400, 24}, "", "default", 0, false, {}, {}, "", true},
        {"B标签", Label, "外形框1", {9, 359, 400, 24}, "", "default", 0, false, {}, {}, "", true},
        {"C标签", Label, "外形框1", {9, 384, 400, 24}, "", "default", 0, false, {}, {}, "", true},
        {"D标签", Label, "外形框1", {9, 409, 400, 24}, "", "default", 0, false, {}, {}, "", true},
        {"添加", Button, "外形框1", {33, 498, 107, 49}, "添加", "微软雅黑", 29, true, {}, {}, "", true},
        {"修改", Button, "外形框1", {154, 500, 107, 47}, "修改", "微软雅黑", 29, true, {}, {}, "", true},
        {"删除", Button, "外形框1", {271, 500, 107, 47}, "删除", "微软雅黑", 29, true, {}, {}, "", true},
    },
    {
        {"查询编辑框", Border::None, Alignment::Left, false, true, RadioStyle::Classic},
        {"查询", Border::None, Alignment::Centre, false, false, RadioStyle::PushButton},
        {"透明标签3", Border::None, Alignment::Centre, false, false, RadioStyle::Classic},
        {"透明标签1", Border::None, Alignment::Centre, false, false, RadioStyle::Classic},
        {"标题编辑框", Border::None, Alignment::Left, false, true, RadioStyle::Classic},
        {"透明标签2", Border::None, Alignment::Centre, false, false, RadioStyle::Classic},
        {"内容编辑框", Border::None, Alignment::Left, false, true, RadioStyle::Classic},
        {"A", Border::None, Alignment::Centre, false, false, RadioStyle::PushButton},
        {"B", Border::None, Alignment::Centre, false, false, RadioStyle::PushButton},
        {"C", Border::None, Alignment::Centre, false, false, RadioStyle::PushButton},
        {"D", Border::None, Alignment::Centre, false, false, RadioStyle::PushButton},
        {"透明标签6", Border::None, Alignment::Centre, false, false, RadioStyle::Classic},
        {"A标签", Border::ThinSunken, Alignment::Left, false, false, RadioStyle::Classic},
        {"B标签", Border::ThinSunken, Alignment::Left, false, false, RadioStyle::Classic},
        {"C标签", Border::ThinSunken, Alignment::Left, false, false, RadioStyle::Classic},
        {"D标签", Border::ThinSunken, Alignment::Left, false, false, RadioStyle::Classic},
    },
    {
        {"", Created, "bankCreated"},
        {"题库表", CurrentCellChanged, "gridCellChanged"},
        {"查询编辑框", ContentChanged, "searchTextChanged"},
        {"查询", Clicked, "searchClicked"},
        {"内容编辑框", ContentChanged, "contentChanged"},
        {"添加", Clicked, "addClicked"},
        {"修改", Clicked, "modifyClicked"},
        {"删除", Clicked, "deleteClicked"},
    },
};

const WindowTable correctionTable{
    "correction",
    correctionWindowLayout,
    "纠错窗口",
    700,
    432,
    {
        {"透明标签1", TransparentLabel, "", {12, 18, 49, 19}, "标题：", "default", 16, true, maroon, {}, "", true},
        {"标题编辑框", EditBox, "", {61, 18, 611, 62}, "", "default", 16, false, {}, {}, "", true},
        {"透明标签2", TransparentLabel, "", {12, 84, 89, 19}, "题库选项：", "default", 16, true, maroon, {}, "", true},
        {"内容编辑框", EditBox, "", {29, 103, 643, 177}, "", "default", 16, false, {}, {}, "", true},
        {"透明标签5",
         TransparentLabel,
         "",
         {192, 303, 96, 19},
         "正确答案：",
         "default",
         16,
         true,
         maroon,
         {},
         "",
         true},
        {"A", RadioButton, "", {303, 289, 55, 43}, "A", "微软雅黑", 29, true, {}, {}, "", true},
        {"B", RadioButton, "", {367, 289, 55, 43}, "B", "微软雅黑", 29, true, {}, {}, "", true},
        {"C", RadioButton, "", {431, 289, 55, 43}, "C", "微软雅黑", 29, true, {}, {}, "", true},
        {"D", RadioButton, "", {495, 289, 55, 43}, "D", "微软雅黑", 29, true, {}, {}, "", true},
        {"修改", Button, "", {554, 336, 125, 43}, "纠错", "微软雅黑", 29, true, {}, {}, "", true},
        {"标签1",
         Label,
         "",
         {16, 356, 216, 24},
         "请勿随便修改，保证题库答案正确性",
         "default",
         0,
         false,
         red,
         {},
         "",
         true},
    },
    {
        {"透明标签1", Border::None, Alignment::Centre, false, false, RadioStyle::Classic},
        {"标题编辑框", Border::None, Alignment::Left, false, true, RadioStyle::Classic},
        {"透明标签2", Border::None, Alignment::Centre, false, false, RadioStyle::Classic},
        {"内容编辑框", Border::None, Alignment::Left, false, true, RadioStyle::Classic},
        {"透明标签5", Border::None, Alignment::Centre, false, false, RadioStyle::Classic},
        {"A", Border::None, Alignment::Centre, false, false, RadioStyle::PushButton},
        {"B", Border::None, Alignment::Centre, false, false, RadioStyle::PushButton},
        {"C", Border::None, Alignment::Centre, false, false, RadioStyle::PushButton},
        {"D", Border::None, Alignment::Centre, false, false, RadioStyle::PushButton},
        {"标签1", Border::None, Alignment::Left, false, false, RadioStyle::Classic},
    },
    {
        {"", Created, "correctionCreated"},
        {"修改", Clicked, "correctClicked"},
    },
};

const ControlDescription* findDescribed(const WindowDescription& window, const std::string& name)
{
    for (const ControlDescription& control : window.controls)
        if (control.name == name)
            return &control;
    return nullptr;
}

bool takesFocus(ControlKind kind)
{
    switch (kind) {
    case Button:
    case StyledButton:
    case EditBox:
    case ComboBox:
    case RadioButton:
    case CheckBox:
    case Grid:
        return true;
    default:
        return false;
    }
}

bool isClickable(ControlKind kind)
{
    return kind == Button || kind == StyledButton || kind == RadioButton || kind == CheckBox;
}

// Whether the widget is what the kind asks for.
bool widgetHasKind(QWidget* widget, ControlKind kind, bool multiLine, RadioStyle radioStyle)
{
    auto* push = qobject_cast<QPushButton*>(widget);
    switch (kind) {
    case Label:
        return qobject_cast<QLabel*>(widget) != nullptr;
    case TransparentLabel:
        return qobject_cast<platform::TransparentLabel*>(widget) != nullptr;
    case Button:
        return push != nullptr && !push->isCheckable();
    case StyledButton:
        return push != nullptr && !push->isCheckable();
    case EditBox:
        return multiLine ? qobject_cast<QPlainTextEdit*>(widget) != nullptr
                         : qobject_cast<QLineEdit*>(widget) != nullptr;
    case ComboBox:
        return qobject_cast<QComboBox*>(widget) != nullptr;
    case RadioButton:
        return radioStyle == RadioStyle::PushButton ? push != nullptr && push->isCheckable()
                                                    : qobject_cast<QRadioButton*>(widget) != nullptr;
    case CheckBox:
        return qobject_cast<QCheckBox*>(widget) != nullptr;
    case Grid:
        return qobject_cast<QAbstractItemView*>(widget) != nullptr;
    case PageControl:
        return qobject_cast<QTabWidget*>(widget) != nullptr;
    case ShapeBox:
        return qobject_cast<platform::ShapeBox*>(widget) != nullptr;
    case PictureBox:
        return qobject_cast<platform::PictureBox*>(widget) != nullptr;
    case ProgressBar:
        return qobject_cast<QProgressBar*>(widget) != nullptr;
    case StatusBar:
        return qobject_cast<platform::StatusBarWidget*>(widget) != nullptr;
    case HtmlView:
        return qobject_cast<platform::HtmlView*>(widget) != nullptr;
    }
    return false;
}

std::string utf8(const std::string& gbk)
{
    return platform::gbkToUtf8(gbk);
}

class WindowLayoutTest : public ::testing::TestWithParam<const WindowTable*> {
protected:
    struct Raised {
        std::string handler;
        std::string control;
        bool operator==(const Raised&) const = default;
    };

    void SetUp() override
    {
        table_ = GetParam();
        description_ = table_->layout();
    }

    void TearDown() override
    {
        if (Gui::isOpen(table_->id))
            Gui::closeWindow(table_->id);
        Gui::processEvents();
    }

    // Opens the window with a recording handler for every name bound in it.
    void open()
    {
        platform::HandlerTable handlers;
        auto record = [this](const std::string& name) {
            return [this, name](const platform::GuiEvent& event) { raised_.push_back({name, event.control}); };
        };
        for (const auto& binding : description_.events)
            handlers[binding.handler] = record(binding.handler);
        for (const auto& control : description_.controls)
            for (const auto& binding : control.events)
                handlers[binding.handler] = record(binding.handler);
        ASSERT_TRUE(Gui::openWindow(description_, handlers));
        Gui::processEvents();
        window_ = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QString::fromUtf8(table_->id) && widget->isVisible())
                window_ = widget;
        ASSERT_NE(window_, nullptr);
    }

    QWidget* widget(const std::string& name) const { return window_->findChild<QWidget*>(QString::fromUtf8(name)); }

    // The nearest ancestor that is a control of the window, or the window id.
    std::string containerOf(QWidget* control) const
    {
        std::set<QString> names;
        for (const Row& row : table_->rows)
            names.insert(QString::fromUtf8(row.name));
        for (QWidget* parent = control->parentWidget(); parent != nullptr; parent = parent->parentWidget()) {
            if (parent == window_)
                return "";
            if (names.count(parent->objectName()) != 0)
                return parent->objectName().toStdString();
        }
        return "(outside the window)";
    }

    std::vector<Binding> bindingsOf(const std::string& control) const
    {
        std::vector<Binding> found;
        for (const Binding& binding : table_->bindings)
            if (binding.control == control)
                found.push_back(binding);
        return found;
    }

    const Look* lookOf(const std::string& name) const
    {
        for (const Look& look : table_->looks)
            if (name == look.name)
                return &look;
        return nullptr;
    }

    const WindowTable* table_ = nullptr;
    WindowDescription description_;
    QWidget* window_ = nullptr;
    std::vector<Raised> raised_;
    GuiDriver driver_;
};

TEST_P(WindowLayoutTest, DescriptionHoldsTheTableRowsInOrder)
{
    EXPECT_EQ(description_.id, table_->id);
    EXPECT_EQ(utf8(description_.caption), table_->caption);
    EXPECT_EQ(description_.width, table_->width);
    EXPECT_EQ(description_.height, table_->height);

    ASSERT_EQ(description_.controls.size(), table_->rows.size());
    for (std::size_t i = 0; i < table_->rows.size(); ++i) {
        const Row& row = table_->rows[i];
        const ControlDescription& control = description_.controls[i];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(control.name, row.name);
        EXPECT_EQ(control.kind, row.kind);
        EXPECT_EQ(control.container, row.container);
        EXPECT_EQ((GuiRect{control.left, control.top, control.width, control.height}), row.rect);
        EXPECT_EQ(utf8(control.tag), row.tag);
        EXPECT_EQ(control.visible, row.visible);
        EXPECT_FALSE(control.takesFocus.has_value() && *control.takesFocus != takesFocus(row.kind));
        EXPECT_EQ(control.font.face, row.face);
        EXPECT_EQ(control.font.pixelHeight, row.pixels);
        EXPECT_EQ(control.font.bold, row.bold);
        EXPECT_EQ(control.textColour, row.text);
        EXPECT_EQ(control.backgroundColour, row.background);
        if (row.kind == PageControl) {
            EXPECT_EQ(utf8(control.pageCaption), row.caption);
        } else {
            EXPECT_EQ(utf8(control.caption), row.caption);
        }
    }
}

TEST_P(WindowLayoutTest, DescriptionBindsTheNamedHandlersAndNothingElse)
{
    std::vector<std::string> described, expected;
    for (const auto& binding : description_.events)
        described.push_back("window " + std::to_string(static_cast<int>(binding.event)) + " " + binding.handler);
    for (const auto& control : description_.controls)
        for (const auto& binding : control.events)
            described.push_back(control.name + " " + std::to_string(static_cast<int>(binding.event)) + " " +
                                binding.handler);
    for (const Binding& binding : table_->bindings)
        expected.push_back((*binding.control ? std::string(binding.control) : std::string("window")) + " " +
                           std::to_string(static_cast<int>(binding.event)) + " " + binding.handler);
    std::sort(described.begin(), described.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(described, expected);
}

TEST_P(WindowLayoutTest, DescriptionHasTheTablesKindSettings)
{
    for (const Look& look : table_->looks) {
        SCOPED_TRACE(look.name);
        const ControlDescription* control = findDescribed(description_, look.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->border, look.border);
        const Alignment alignment =
            control->alignment.value_or(control->kind == TransparentLabel ? Alignment::Centre : Alignment::Left);
        EXPECT_EQ(alignment, look.alignment);
        EXPECT_EQ(control->embossed, look.embossed);
        EXPECT_EQ(control->multiLine, look.multiLine);
        EXPECT_EQ(control->radioStyle, look.radioStyle);
    }
}

TEST_P(WindowLayoutTest, OpenWindowHasFixedClientSizeAndCaption)
{
    open();
    const QSize client(table_->width - 6, table_->height - 29);
    EXPECT_EQ(window_->size(), client);
    EXPECT_EQ(window_->minimumSize(), client);
    EXPECT_EQ(window_->maximumSize(), client);
    EXPECT_EQ(window_->windowTitle().toStdString(), table_->caption);
    EXPECT_EQ(utf8(Gui::windowCaption(table_->id)), table_->caption);
    const GuiRect rect = Gui::clientRect(table_->id);
    EXPECT_EQ(rect.width, client.width());
    EXPECT_EQ(rect.height, client.height());
    EXPECT_FALSE(window_->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window_->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(window_->windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

TEST_P(WindowLayoutTest, OpenWindowShowsEveryRowAsTheTableSays)
{
    open();
    for (const Row& row : table_->rows) {
        SCOPED_TRACE(row.name);
        const std::string id = table_->id;
        QWidget* control = widget(row.name);
        ASSERT_NE(control, nullptr);
        const Look* look = lookOf(row.name);
        if (row.kind == Label || row.kind == TransparentLabel || row.kind == EditBox || row.kind == RadioButton) {
            ASSERT_NE(look, nullptr) << "the table gives the settings of every label, edit box and radio button";
        }
        EXPECT_TRUE(
            widgetHasKind(control, row.kind, look && look->multiLine, look ? look->radioStyle : RadioStyle::Classic));
        EXPECT_EQ(containerOf(control), row.container);
        EXPECT_EQ(Gui::geometry(id, row.name), row.rect);
        EXPECT_EQ(Gui::isVisible(id, row.name), row.visible);
        EXPECT_TRUE(Gui::isEnabled(id, row.name));
        EXPECT_EQ(control->focusPolicy() != Qt::NoFocus, takesFocus(row.kind));
        EXPECT_EQ(control->font().pixelSize(), row.pixels ? row.pixels : defaultPixels);
        EXPECT_EQ(control->font().bold(), row.bold);
        EXPECT_EQ(utf8(Gui::tag(id, row.name)), row.tag);
        EXPECT_EQ(Gui::textColour(id, row.name), row.text);
        EXPECT_EQ(Gui::backgroundColour(id, row.name), row.background);
        if (row.kind == PageControl) {
            EXPECT_EQ(static_cast<QTabWidget*>(control)->tabText(0).toStdString(), row.caption);
        } else if (row.kind != StatusBar && row.kind != PictureBox && row.kind != HtmlView && row.kind != Grid &&
                   row.kind != ProgressBar && row.kind != ShapeBox) {
            EXPECT_EQ(utf8(Gui::text(id, row.name)), row.caption);
        }
        if (look != nullptr && row.kind == Label) {
            EXPECT_EQ(Gui::border(id, row.name), look->border);
        }
        if (auto* label = qobject_cast<QLabel*>(control)) {
            EXPECT_EQ(
                static_cast<int>(label->alignment() & Qt::AlignHorizontal_Mask),
                static_cast<int>(look && look->alignment == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft));
        }
        if (auto* label = qobject_cast<platform::TransparentLabel*>(control)) {
            EXPECT_EQ(label->embossed(), look && look->embossed);
        }
    }
}

TEST_P(WindowLayoutTest, EventsReachTheHandlersNamedInTheTable)
{
    open();
    const std::string id = table_->id;
    for (const Binding& binding : bindingsOf("")) {
        if (binding.event == Created) {
            EXPECT_NE(std::find(raised_.begin(), raised_.end(), Raised{binding.handler, ""}), raised_.end())
                << binding.handler;
        }
    }

    // Every user action on every control raises exactly the bindings the table gives it.
    for (const Row& row : table_->rows) {
        SCOPED_TRACE(row.name);
        std::vector<Raised> expected;
        raised_.clear();
        if (!row.visible)
            Gui::setVisible(id, row.name, true);
        if (isClickable(row.kind))
            GuiDriver::click(id, row.name);
        if (row.kind == EditBox)
            GuiDriver::type(id, row.name, "x");
        if (row.kind == Grid) {
            Gui::setGridRowCount(id, row.name, 3);
            Gui::setGridColumnCount(id, row.name, 3);
            GuiDriver::clickGridCell(id, row.name, 2, 2);
        }
        GuiDriver::pressMouse(id, row.name);
        for (const Binding& binding : bindingsOf(row.name))
            expected.push_back({binding.handler, row.name});
        // A press on a button is not its click; only the bound events count.
        std::vector<Raised> seen = raised_;
        seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
        EXPECT_EQ(seen.size(), expected.size());
        for (const Raised& raised : expected)
            EXPECT_NE(std::find(seen.begin(), seen.end(), raised), seen.end()) << raised.handler;
    }

    raised_.clear();
    Gui::closeWindow(id);
    for (const Binding& binding : bindingsOf("")) {
        if (binding.event == BeingDestroyed) {
            EXPECT_NE(std::find(raised_.begin(), raised_.end(), Raised{binding.handler, ""}), raised_.end())
                << binding.handler;
        }
    }
}

std::string tableName(const ::testing::TestParamInfo<const WindowTable*>& info)
{
    return info.param->id;
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowLayoutTest,
                         ::testing::Values(&startTable, &examTable, &bankTable, &correctionTable), tableName);

// Settings of single controls that the rows above do not cover.
class WindowSettingsTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        Gui::closeAllWindows();
        Gui::processEvents();
    }
    GuiDriver driver_;
};

TEST_F(WindowSettingsTest, StartProgressBarRunsFromZeroToHundred)
{
    ASSERT_TRUE(Gui::openWindow(startWindowLayout(), {}));
    EXPECT_EQ(Gui::progressMaximum("start", "进度条1"), 100);
    EXPECT_EQ(Gui::progressPosition("start", "进度条1"), 0);
}

TEST_F(WindowSettingsTest, ExamStatusBarHasOperatorPanelCandidatePanelAndCreditLine)
{
    ASSERT_TRUE(Gui::openWindow(examWindowLayout(), {}));
    EXPECT_EQ(utf8(Gui::statusText("exam", "状态条", 0)), " 当前操作员：");
    EXPECT_EQ(Gui::statusText("exam", "状态条", 1), "");
    EXPECT_FALSE(Gui::statusText("exam", "状态条", 2).empty());
    const WindowDescription exam = examWindowLayout();
    const ControlDescription* bar = findDescribed(exam, "状态条");
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->statusPanels.size(), 3u);
    EXPECT_EQ(bar->statusPanels[0].width, 86);
    EXPECT_EQ(bar->statusPanels[1].width, 250);
}

TEST_F(WindowSettingsTest, ExamPhotographIsStoredWithTheProgramInPortraitFormat)
{
    ASSERT_TRUE(Gui::openWindow(examWindowLayout(), {}));
    QWidget* picture = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == "exam")
            picture = window->findChild<QWidget*>(QString::fromUtf8("图片框1"));
    auto* box = qobject_cast<platform::PictureBox*>(picture);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->hasPicture());
    EXPECT_EQ(box->pictureSize(), QSize(500, 750));
}

TEST_F(WindowSettingsTest, ExamOptionsFormOneGroupAndTheShapeBoxHasARedOutline)
{
    ASSERT_TRUE(Gui::openWindow(examWindowLayout(), {}));
    Gui::setChecked("exam", "B", true);
    Gui::setChecked("exam", "D", true);
    EXPECT_FALSE(Gui::checked("exam", "B"));
    EXPECT_TRUE(Gui::checked("exam", "D"));
    const WindowDescription exam = examWindowLayout();
    const ControlDescription* frame = findDescribed(exam, "外形框2");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->outlineColour, std::optional<Rgb>(0xFF0000));
    const ControlDescription* html = findDescribed(exam, "超文本浏览框1");
    ASSERT_NE(html, nullptr);
    EXPECT_FALSE(html->visible);
}

TEST_F(WindowSettingsTest, BankOptionCountListHasThreeValuedItemsAndNoneChosen)
{
    ASSERT_TRUE(Gui::openWindow(bankWindowLayout(), {}));
    ASSERT_EQ(Gui::comboCount("bank", "组合框1"), 3);
    EXPECT_EQ(Gui::comboIndex("bank", "组合框1"), -1);
    const char* texts[] = {"二项选择", "三项选题", "四项选题"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Gui::comboItemValue("bank", "组合框1", i), i + 2);
        Gui::setComboIndex("bank", "组合框1", i);
        EXPECT_EQ(utf8(Gui::text("bank", "组合框1")), texts[i]);
    }
}

TEST_F(WindowSettingsTest, BankGridHasOneFixedRowAndColumnOfTheTableSizes)
{
    const WindowDescription bank = bankWindowLayout();
    const ControlDescription* grid = findDescribed(bank, "题库表");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->grid.fixedRows, 1);
    EXPECT_EQ(grid->grid.fixedColumns, 1);
    EXPECT_EQ(grid->grid.rowHeight, 27);
    EXPECT_EQ(grid->grid.columnWidth, 60);
}

TEST_F(WindowSettingsTest, BankSearchButtonLeavesTheChosenAnswerChecked)
{
    ASSERT_TRUE(Gui::openWindow(bankWindowLayout(), {}));
    Gui::setChecked("bank", "C", true);
    ASSERT_TRUE(GuiDriver::click("bank", "查询"));
    EXPECT_TRUE(Gui::checked("bank", "C"));
    // The answer buttons still exclude each other.
    ASSERT_TRUE(GuiDriver::click("bank", "A"));
    EXPECT_TRUE(Gui::checked("bank", "A"));
    EXPECT_FALSE(Gui::checked("bank", "C"));
}

TEST_F(WindowSettingsTest, CorrectionAnswerButtonsFormOneGroup)
{
    ASSERT_TRUE(Gui::openWindow(correctionWindowLayout(), {}));
    ASSERT_TRUE(GuiDriver::click("correction", "B"));
    ASSERT_TRUE(GuiDriver::click("correction", "D"));
    EXPECT_FALSE(Gui::checked("correction", "B"));
    EXPECT_TRUE(Gui::checked("correction", "D"));
}

} // namespace
