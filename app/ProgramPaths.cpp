#include "app/ProgramPaths.h"

#include "attempts/AttemptStore.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/ProfileReader.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

using platform::FileSystem;

namespace {

constexpr char separator = FileSystem::separator;

std::optional<std::string> environment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr)
        return std::nullopt;
    return std::string(value);
}

bool absolute(std::string_view path)
{
    return !path.empty() && path.front() == separator;
}

std::string withoutTrailingSeparators(std::string path)
{
    while (path.size() > 1 && path.back() == separator)
        path.pop_back();
    return path;
}

// An installed program sits in <prefix>/bin and its data in <prefix>/share.
std::string shareOf(const std::string& programDirectory)
{
    const std::string::size_type cut = programDirectory.rfind(separator);
    const std::string prefix = cut == std::string::npos ? std::string() : programDirectory.substr(0, cut);
    return prefix + separator + "share" + separator + "mockexam";
}

} // namespace

ProgramPaths::Inputs ProgramPaths::Inputs::ofThisProcess()
{
    Inputs inputs;
    inputs.programDirectory = FileSystem::programDirectory();
    std::string text;
    if (FileSystem::readFile(machineProfilePath, text))
        inputs.machineProfile = std::move(text);
    inputs.home = environment("HOME");
    if (!inputs.home || inputs.home->empty()) {
        // A session started without HOME (a service, su -) still has an account.
        std::vector<char> buffer(16384);
        passwd entry{};
        passwd* found = nullptr;
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
            found->pw_dir != nullptr)
            inputs.home = std::string(found->pw_dir);
    }
    inputs.xdgDataHome = environment("XDG_DATA_HOME");
    return inputs;
}

ProgramPaths ProgramPaths::decide(const Inputs& inputs)
{
    ProgramPaths paths;
    if (!inputs.programDirectory) {
        // The start window says so as well, and ends.
        paths.problem_ = GBK("程序所在文件夹的名称含有无法识别的字符。");
        return paths;
    }
    paths.shareDirectory_ = shareOf(*inputs.programDirectory);
    if (FileSystem::exists(FileSystem::joinPath(*inputs.programDirectory, bankFile))) {
        paths.runDirectory_ = *inputs.programDirectory;
        return paths;
    }

    if (inputs.machineProfile) {
        const std::string folder = platform::ProfileReader::readStringFromText(*inputs.machineProfile, "paths", "data");
        if (absolute(folder)) {
            paths.rule_ = Rule::Machine;
            paths.runDirectory_ = withoutTrailingSeparators(folder);
            return paths;
        }
    }

    paths.rule_ = Rule::User;
    std::string base;
    // XDG_DATA_HOME counts only as an absolute path; a relative one is passed over, as other desktop programs do.
    if (inputs.xdgDataHome && absolute(*inputs.xdgDataHome))
        base = *inputs.xdgDataHome;
    else if (inputs.home && absolute(*inputs.home))
        base = withoutTrailingSeparators(*inputs.home) + separator + ".local" + separator + "share";
    else {
        paths.problem_ = GBK("无法确定用户的数据文件夹：环境变量 HOME 没有设置。");
        return paths;
    }
    const std::optional<std::string> gbkBase = FileSystem::fromSystemPath(withoutTrailingSeparators(base));
    if (!gbkBase) {
        paths.problem_ = GBK("用户的数据文件夹的名称含有无法识别的字符，程序无法使用它。");
        return paths;
    }
    paths.runDirectory_ = FileSystem::joinPath(*gbkBase == "/" ? "" : *gbkBase, "mockexam");
    return paths;
}

bool ProgramPaths::asked(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--paths") == 0)
            return true;
    return false;
}

std::string ProgramPaths::filePath(std::string_view name) const
{
    return FileSystem::joinPath(runDirectory_, name);
}

bool ProgramPaths::prepare()
{
    if (runDirectory_.empty())
        return false;
    if (rule_ == Rule::Portable)
        return true;
    if (!FileSystem::createDirectories(runDirectory_)) {
        problem_ = GBK("无法建立数据文件夹 ") + runDirectory_ + GBK("，请检查是否允许在那里写入。");
        return false;
    }
    for (const char* name : {bankFile, profileFile}) {
        const std::string target = filePath(name);
        if (FileSystem::exists(target))
            continue;
        const std::string source = FileSystem::joinPath(shareDirectory_, name);
        // A copy another start made meanwhile is as good as our own.
        if (FileSystem::copyFile(source, target) || FileSystem::exists(target) || name != bankFile)
            continue;
        if (!FileSystem::fileSize(source))
            problem_ =
                GBK("数据文件夹 ") + runDirectory_ + GBK(" 中没有题库，也找不到可复制的示例题库 ") + source + GBK("。");
        else
            problem_ = GBK("无法把示例题库 ") + source + GBK(" 复制到数据文件夹 ") + runDirectory_ +
                       GBK("，请检查是否允许在那里写入。");
        return false;
    }
    return true;
}

std::string ProgramPaths::describe() const
{
    std::string text;
    auto line = [&text](const char* label, const std::string& gbk) {
        text += label;
        text += platform::gbkToUtf8(gbk);
        text += '\n';
    };
    switch (rule_) {
    case Rule::Portable:
        text += "文件位置：程序所在的文件夹（其中有 tk.db）\n";
        break;
    case Rule::Machine:
        text += std::string("文件位置：") + machineProfilePath + " 中 [paths] data 指定的文件夹\n";
        break;
    case Rule::User:
        text += "文件位置：用户的数据文件夹（$XDG_DATA_HOME/mockexam，未设置时 ~/.local/share/mockexam）\n";
        break;
    }
    if (runDirectory_.empty()) {
        line("问题：", problem_);
        return text;
    }
    line("文件夹：", runDirectory_);
    line("题库 tk.db：", filePath(bankFile));
    line("设置 i.ini：", filePath(profileFile));
    line("考试记录 ksjl.db：", filePath(AttemptStore::fileName));
    line("答卷 temp.htm：", filePath(reportFile));
    line("导出、备份和PDF：", runDirectory_);
    if (rule_ != Rule::Portable)
        line("示例题库（缺少时复制）：", shareDirectory_);
    if (!problem_.empty())
        line("问题：", problem_);
    return text;
}
