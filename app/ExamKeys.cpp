#include "app/ExamKeys.h"

#include "app/ExamWindow.h"
#include "exam/Paper.h"
#include "platform/CodePage.h"
#include "platform/gui/Gui.h"

#include <cstdlib>

using platform::Gui;
using platform::GuiKey;
using Name = platform::GuiKey::Name;

namespace {

constexpr char reportView[] = "超文本浏览框1";
constexpr std::size_t maxJumpDigits = 3;

} // namespace

ExamKeys::ExamKeys(ExamWindow& window) : window_(window)
{
}

std::string ExamKeys::helpText()
{
    return GBK("键盘操作：A～D 或 1～4 选择答案；←/→ 或 PageUp/PageDown 上一题/下一题；Home/End 第一题/最后一题；"
               "F 标记或取消复查标记；G、题号、回车 跳到该题；Ctrl+回车 交卷；Ctrl+加号/减号 大字体/小字体");
}

void ExamKeys::click(const char* control)
{
    Gui::click(ExamWindow::windowId, control);
}

bool ExamKeys::take(const GuiKey& key)
{
    if (Gui::isVisible(ExamWindow::windowId, reportView)) {
        jumpDigits_.reset();
        return false;
    }
    if (jumpDigits_ && takeJumpKey(key))
        return true;
    if (key.alt)
        return false;
    if (key.control)
        return takeControlKey(key);

    switch (key.name) {
    case Name::Character:
        return takeCharacter(key.character, key.autoRepeat);
    case Name::Left:
    case Name::PageUp:
        click("上一题");
        return true;
    case Name::Right:
    case Name::PageDown:
        click("下一题");
        return true;
    case Name::Home:
        window_.jumpTo(1);
        return true;
    case Name::End:
        window_.jumpTo(window_.paperLength());
        return true;
    default:
        return false;
    }
}

// Any other key ends the jump and then counts as itself.
bool ExamKeys::takeJumpKey(const GuiKey& key)
{
    const bool plain = !key.control && !key.alt;
    if (plain && key.name == Name::Character && key.character >= '0' && key.character <= '9') {
        if (jumpDigits_->size() < maxJumpDigits)
            jumpDigits_->push_back(key.character);
        return true;
    }
    if (plain && key.name == Name::Backspace) {
        if (!jumpDigits_->empty())
            jumpDigits_->pop_back();
        return true;
    }
    if (plain && key.name == Name::Enter) {
        const int k = std::atoi(jumpDigits_->c_str());
        jumpDigits_.reset();
        if (k >= 1 && k <= window_.paperLength())
            window_.jumpTo(k);
        return true;
    }
    const bool escape = key.name == Name::Escape;
    jumpDigits_.reset();
    return escape;
}

bool ExamKeys::takeControlKey(const GuiKey& key)
{
    switch (key.name) {
    case Name::Enter:
        // Holding the keys down must not ask again once the box has gone.
        if (!key.autoRepeat)
            click("交卷");
        return true;
    case Name::Plus:
        click("按钮1");
        return true;
    case Name::Minus:
        click("按钮2");
        return true;
    default:
        return false;
    }
}

bool ExamKeys::takeCharacter(char character, bool repeated)
{
    if (character >= 'A' && character <= 'D') {
        click(window_.optionControl(character - 'A'));
        return true;
    }
    if (character >= '1' && character <= '4') {
        click(window_.optionControl(character - '1'));
        return true;
    }
    if (character == 'F') {
        if (!repeated)
            window_.toggleFlag();
        return true;
    }
    if (character == 'G') {
        jumpDigits_.emplace();
        return true;
    }
    return false;
}
