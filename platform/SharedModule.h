#pragma once

#include <string>
#include <string_view>

namespace platform {

// One of the program's own shared modules (mockexam-NAME.so), loaded when a
// window first needs what it wraps, so that starting the program does not
// load Qt Charts, the MariaDB client or the spreadsheet libraries. A module
// is looked for beside the program (a build, a portable copy) and then in
// ../lib/mockexam/ (the installed layout). Once loaded it stays in the
// process until it ends: the libraries behind it keep thread and type
// registrations that must outlive any one user.
class SharedModule {
public:
    // Loads the module; check loaded() and lastErrorText().
    explicit SharedModule(std::string_view name);
    ~SharedModule();
    SharedModule(SharedModule&& other) noexcept;
    SharedModule& operator=(SharedModule&& other) noexcept;
    SharedModule(const SharedModule&) = delete;
    SharedModule& operator=(const SharedModule&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    // Why the module or a symbol is missing (GBK, for the user); empty when
    // all went well.
    const std::string& lastErrorText() const { return lastErrorText_; }

    // The exported symbol, nullptr (with the reason kept) when the module or
    // the symbol is missing.
    void* symbol(const char* name);
    template <typename T> T* function(const char* name) { return reinterpret_cast<T*>(symbol(name)); }

    // The file name of a module: "mockexam-NAME.so".
    static std::string fileName(std::string_view name);
    // What is said of a module that is there but of another build (GBK).
    static std::string mismatchText(std::string_view name);

private:
    void* handle_ = nullptr;
    std::string name_;
    std::string lastErrorText_;
};

} // namespace platform
