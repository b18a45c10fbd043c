#include "platform/SharedModule.h"

#include "platform/CodePage.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace platform {

namespace {

// Where a module may be, in the order tried: beside the program, then the
// installed layout's private library folder.
std::vector<std::filesystem::path> candidates(const std::string& file)
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    const std::filesystem::path folder = program.parent_path();
    return {folder / file, folder.parent_path() / "lib" / "mockexam" / file};
}

} // namespace

std::string SharedModule::fileName(std::string_view name)
{
    return "mockexam-" + std::string(name) + ".so";
}

std::string SharedModule::mismatchText(std::string_view name)
{
    return GBK("程序的组件 ") + fileName(name) + GBK(" 与程序的版本不符，请重新安装本程序。");
}

SharedModule::SharedModule(std::string_view name) : name_(name)
{
    const std::string file = fileName(name);
    std::string reason;
    for (const std::filesystem::path& path : candidates(file)) {
        std::error_code error;
        if (!std::filesystem::exists(path, error))
            continue;
        handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (handle_ != nullptr)
            return;
        if (const char* text = ::dlerror())
            reason = text;
        break;
    }
    lastErrorText_ = GBK("程序的组件 ") + file + GBK(" 无法加载，请重新安装本程序。");
    if (!reason.empty())
        lastErrorText_ += GBK("\r\n原因：") + utf8ToGbk(reason);
}

SharedModule::~SharedModule()
{
    if (handle_ != nullptr)
        ::dlclose(handle_);
}

SharedModule::SharedModule(SharedModule&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), name_(std::move(other.name_)),
      lastErrorText_(std::move(other.lastErrorText_))
{
}

SharedModule& SharedModule::operator=(SharedModule&& other) noexcept
{
    if (this != &other) {
        if (handle_ != nullptr)
            ::dlclose(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
        name_ = std::move(other.name_);
        lastErrorText_ = std::move(other.lastErrorText_);
    }
    return *this;
}

void* SharedModule::symbol(const char* name)
{
    if (handle_ == nullptr)
        return nullptr;
    if (void* found = ::dlsym(handle_, name))
        return found;
    lastErrorText_ = mismatchText(name_);
    return nullptr;
}

} // namespace platform
