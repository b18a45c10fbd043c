#include "app/ExamAccessibility.h"

#include "app/ExamKeys.h"
#include "app/ExamWindow.h"
#include "exam/ExamClock.h"
#include "platform/CodePage.h"
#include "platform/gui/Gui.h"

using platform::Gui;

namespace {

constexpr platform::Rgb correctColour = 0x00FF00;
constexpr platform::Rgb wrongColour = 0xFF0000;

bool describe(const std::string& control, const std::string& name, const std::string& description)
{
    return Gui::setAccessibleText(ExamWindow::windowId, control, name, description);
}

} // namespace

void ExamAccessibility::describeControls()
{
    describe("上一题", GBK("上一题"), GBK("快捷键：左方向键或 PageUp"));
    describe("下一题", GBK("下一题"), GBK("快捷键：右方向键或 PageDown"));
    describe("交卷", GBK("交卷"), GBK("快捷键：Ctrl+回车。") + ExamKeys::helpText());
    describe("纠错按钮", GBK("纠错"), GBK("修改本题的标题、选项和答案"));
    describe("按钮1", GBK("大字体"), GBK("快捷键：Ctrl+加号"));
    describe("按钮2", GBK("小字体"), GBK("快捷键：Ctrl+减号"));
    describe("显示正确答案", GBK("显示正确答案"), GBK("勾选后显示本题的正确答案"));
    describe("题库管理按钮", GBK("题库管理"), GBK("打开题库管理窗口"));
    describe("超文本浏览框1", GBK("答卷报告"), GBK("每道题的正确答案和您的答案"));
    Gui::setToolTip(ExamWindow::windowId, "交卷", ExamKeys::helpText());
    const int duration = ExamClock::paperDuration;
    const int minutes = duration / 60 % 60;
    const int seconds = duration % 60;
    describeClock(std::to_string(duration / 3600) + (minutes < 10 ? ":0" : ":") + std::to_string(minutes) +
                  (seconds < 10 ? ":0" : ":") + std::to_string(seconds));
}

void ExamAccessibility::describeOptions()
{
    for (const char* letter : {"A", "B", "C", "D"}) {
        std::string text = Gui::text(ExamWindow::windowId, letter);
        if (!text.empty() && text.front() == ' ')
            text.erase(0, 1);
        const std::string name = GBK("选项") + letter + (text.empty() ? std::string() : GBK("：") + text);
        const char digit[] = {static_cast<char>('1' + (letter[0] - 'A')), '\0'};
        describe(letter, name, GBK("快捷键：") + letter + GBK(" 或 ") + digit);
        // The check box over the option says the same, the key now ticking it.
        const std::string box = "多选" + std::string(letter);
        if (Gui::controlExists(ExamWindow::windowId, box))
            describe(box, name, GBK("快捷键：") + letter + GBK(" 或 ") + digit + GBK("，可多选"));
    }
}

std::string ExamAccessibility::cellName(int k, const PaperEntry& entry)
{
    std::string name = GBK("第") + std::to_string(k) + GBK("题，");
    name += entry.chosen.empty() ? GBK("未答") : GBK("已答") + entry.chosen;
    if (entry.flagged)
        name += GBK("，已标记");
    return name;
}

void ExamAccessibility::describeCell(int k, const PaperEntry& entry)
{
    const std::string cell = ExamWindow::cellName(k);
    const std::optional<platform::Rgb> colour = Gui::backgroundColour(ExamWindow::windowId, cell);
    std::string description = colour == correctColour ? GBK("回答正确。")
                              : colour == wrongColour ? GBK("回答错误。")
                                                      : std::string();
    description += GBK("按 G，输入题号 ") + std::to_string(k) + GBK("，再按回车可跳到此题");
    describe(cell, cellName(k, entry), description);
}

void ExamAccessibility::describeClock(const std::string& caption)
{
    describe("时间", GBK("剩余时间 ") + caption, GBK("考试剩余时间，时:分:秒"));
}
