#pragma once

#include "platform/SharedModule.h"

#include <atomic>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace platform {

// The table of functions one of the program's modules hands out through a
// single exported function, loaded by whoever first needs it and kept for the
// life of the process. Table starts with `std::size_t size`, set by the module
// to the size it was built with: a module left over from another build of the
// program is then refused instead of being called through a wrong layout.
template <typename Table> class ModuleTable {
public:
    ModuleTable(std::string moduleName, const char* exportName)
        : moduleName_(std::move(moduleName)), exportName_(exportName)
    {
    }
    ModuleTable(const ModuleTable&) = delete;
    ModuleTable& operator=(const ModuleTable&) = delete;

    // Null when the module cannot be loaded or does not fit; safe from any
    // thread.
    const Table* get() const
    {
        std::call_once(once_, [this] { load(); });
        return table_;
    }

    // Why get() gave null (GBK, for the user); empty before the first get()
    // and after one that succeeded.
    std::string lastErrorText() const { return tried_.load(std::memory_order_acquire) ? error_ : std::string(); }

private:
    void load() const
    {
        module_.emplace(moduleName_);
        using Export = const Table*();
        Export* handOut = module_->template function<Export>(exportName_);
        const Table* table = handOut != nullptr ? handOut() : nullptr;
        if (handOut == nullptr)
            error_ = module_->lastErrorText();
        else if (table == nullptr || table->size != sizeof(Table))
            error_ = SharedModule::mismatchText(moduleName_);
        else
            table_ = table;
        tried_.store(true, std::memory_order_release);
    }

    const std::string moduleName_;
    const char* const exportName_;
    mutable std::once_flag once_;
    mutable std::optional<SharedModule> module_;
    mutable const Table* table_ = nullptr;
    mutable std::string error_;
    mutable std::atomic<bool> tried_{false};
};

} // namespace platform
