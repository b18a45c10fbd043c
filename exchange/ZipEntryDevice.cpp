#include "exchange/ZipEntryDevice.h"

#include <algorithm>

ZipEntryDevice::ZipEntryDevice(const SheetFunctions& api, zip_t* zip, const std::string& name, qint64 limit)
    : api_(api), entry_(api.zip_fopen(zip, name.c_str(), ZIP_FL_NOCASE), Closer{&api}), limit_(limit)
{
    if (!entry_) {
        zip_error_t* error = api.zip_get_error(zip);
        failure_ = api.zip_error_code_zip(error) == ZIP_ER_NOENT ? Failure::Missing : Failure::Damaged;
        api.zip_error_clear(zip);
        return;
    }
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

ZipEntryDevice::~ZipEntryDevice() = default;

qint64 ZipEntryDevice::readData(char* data, qint64 maxSize)
{
    if (failure_ != Failure::None || !entry_)
        return -1;
    // One byte past the limit tells an entry of exactly the limit from a larger one.
    const qint64 wanted = std::min(maxSize, limit_ - done_ + 1);
    const zip_int64_t n = api_.zip_fread(entry_.get(), data, static_cast<zip_uint64_t>(wanted));
    if (n < 0) {
        // Inflating failed or the checksum did not match at the end.
        failure_ = Failure::Damaged;
        return -1;
    }
    done_ += n;
    if (done_ > limit_) {
        failure_ = Failure::TooLarge;
        return -1;
    }
    return n;
}

bool ZipEntryDevice::readAllInto(std::string& bytes)
{
    bytes.clear();
    char chunk[16384];
    for (;;) {
        const qint64 n = read(chunk, sizeof chunk);
        if (n < 0 || failure_ != Failure::None) {
            bytes.clear();
            if (failure_ == Failure::None)
                failure_ = Failure::Damaged;
            return false;
        }
        if (n == 0)
            return true;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
}
