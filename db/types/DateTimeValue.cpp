#include "db/types/DateTimeValue.h"

#include "platform/CodePage.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

// Days between 1970-01-01 and the given day of the proleptic Gregorian calendar.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

constexpr std::int64_t kEpochFromUnix = 25569; // 1899-12-30 is 25569 days before 1970-01-01
constexpr int kSecondsPerDay = 86400;

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[static_cast<std::size_t>(month - 1)];
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

std::optional<DateTimeValue> DateTimeValue::fromParts(int year, int month, int day, int hour, int minute, int second)
{
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    const double dayNumber = static_cast<double>(
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kEpochFromUnix);
    const double fraction = (hour * 3600 + minute * 60 + second) / static_cast<double>(kSecondsPerDay);
    return DateTimeValue(dayNumber >= 0 ? dayNumber + fraction : dayNumber - fraction);
}

std::optional<DateTimeValue> DateTimeValue::parse(std::string_view gbk)
{
    // The unit that may follow each of the six numbers, in order.
    const std::array<const std::string*, 6> units{&GBK("年"), &GBK("月"), &GBK("日"),
                                                  &GBK("时"), &GBK("分"), &GBK("秒")};
    std::array<int, 6> parts{};
    std::size_t count = 0;
    std::size_t pos = 0;
    while (pos < gbk.size() && isBlank(gbk[pos]))
        ++pos;
    while (pos < gbk.size()) {
        if (count == parts.size() || gbk[pos] < '0' || gbk[pos] > '9')
            return std::nullopt;
        int number = 0;
        int digits = 0;
        while (pos < gbk.size() && gbk[pos] >= '0' && gbk[pos] <= '9') {
            if (++digits > 4)
                return std::nullopt;
            number = number * 10 + (gbk[pos++] - '0');
        }
        parts[count] = number;
        const std::string& unit = *units[count];
        ++count;
        if (gbk.substr(pos, unit.size()) == unit) {
            pos += unit.size();
        } else if (pos < gbk.size()) {
            const char c = gbk[pos];
            if (c == '-' || c == '/' || c == '.' || c == ':')
                ++pos;
            else if (!isBlank(c))
                return std::nullopt;
        }
        while (pos < gbk.size() && isBlank(gbk[pos]))
            ++pos;
    }
    if (count < 3)
        return std::nullopt;
    return fromParts(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]);
}

DateTimeValue DateTimeValue::fromText(std::string_view gbk)
{
    return parse(gbk).value_or(earliest());
}

DateTimeValue DateTimeValue::earliest()
{
    return *fromParts(100, 1, 1);
}

void DateTimeValue::toParts(int& year, int& month, int& day, int& hour, int& minute, int& second) const
{
    auto dayNumber = static_cast<std::int64_t>(std::trunc(days_));
    const double fraction = std::fabs(days_ - static_cast<double>(dayNumber));
    auto seconds = static_cast<std::int64_t>(std::llround(fraction * kSecondsPerDay));
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++dayNumber;
    }
    civilFromDays(dayNumber - kEpochFromUnix, year, month, day);
    hour = static_cast<int>(seconds / 3600);
    minute = static_cast<int>(seconds / 60 % 60);
    second = static_cast<int>(seconds % 60);
}

DateTimeValue DateTimeValue::datePart() const
{
    int year, month, day, hour, minute, second;
    toParts(year, month, day, hour, minute, second);
    return fromParts(year, month, day).value_or(DateTimeValue(std::trunc(days_)));
}

DateTimeValue DateTimeValue::timePart() const
{
    int year, month, day, hour, minute, second;
    toParts(year, month, day, hour, minute, second);
    return *fromParts(2000, 1, 1, hour, minute, second);
}

std::string DateTimeValue::toText() const
{
    int year, month, day, hour, minute, second;
    toParts(year, month, day, hour, minute, second);
    char text[64];
    std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
    return text;
}
