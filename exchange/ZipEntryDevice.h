#pragma once

#include <QIODevice>

#include "exchange/SheetFunctions.h"

#include <memory>
#include <string>

// One entry of a zip archive, inflated as it is read. The archive's own
// directory may claim any size, so the bytes are counted as they come and
// reading stops at the limit: a small crafted workbook cannot fill the memory.
class ZipEntryDevice : public QIODevice {
public:
    enum class Failure { None, Missing, TooLarge, Damaged };

    // zip was opened through api.
    ZipEntryDevice(const SheetFunctions& api, zip_t* zip, const std::string& name, qint64 limit);
    ~ZipEntryDevice() override;

    bool isSequential() const override { return true; }
    Failure failure() const { return failure_; }
    // The whole entry, or nothing when it fails.
    bool readAllInto(std::string& bytes);

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    struct Closer {
        const SheetFunctions* api;
        void operator()(zip_file_t* f) const { api->zip_fclose(f); }
    };
    const SheetFunctions& api_;
    std::unique_ptr<zip_file_t, Closer> entry_;
    qint64 limit_;
    qint64 done_ = 0;
    Failure failure_ = Failure::None;
};
