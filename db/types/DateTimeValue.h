#pragma once

#include <optional>
#include <string>
#include <string_view>

// A moment as days since 1899-12-30 00:00:00, the fraction being the time of
// day (the OLE Automation date form). Before that epoch the whole days count
// backwards while the fraction still counts forwards: -1.25 is 1899-12-29 06:00.
class DateTimeValue {
public:
    DateTimeValue() = default;
    explicit DateTimeValue(double days) : days_(days) {}

    // Null when a part is out of range (years 100 to 9999, real calendar days,
    // hours 0-23, minutes and seconds 0-59).
    static std::optional<DateTimeValue> fromParts(int year, int month, int day, int hour = 0, int minute = 0,
                                                  int second = 0);

    // Reads a GBK text of numbers for year, month, day and optionally hour,
    // minute, second, separated by "-", "/", ".", ":" or blanks, or each
    // followed by its unit 年 月 日 时 分 秒 ("2015-12-09 08:30:00",
    // "2015年12月9日8时30分"). Null when the text holds no such date.
    static std::optional<DateTimeValue> parse(std::string_view gbk);

    // parse(), with the earliest moment (100-01-01 00:00:00) for a text that
    // does not convert: the value database reads deliver for such texts.
    static DateTimeValue fromText(std::string_view gbk);

    static DateTimeValue earliest();

    double days() const { return days_; }

    // The calendar parts, the time rounded to the nearest second.
    void toParts(int& year, int& month, int& day, int& hour, int& minute, int& second) const;

    // The date alone at 00:00:00, and the time of day alone on 2000-01-01.
    DateTimeValue datePart() const;
    DateTimeValue timePart() const;

    // "YYYY-MM-DD HH:MM:SS".
    std::string toText() const;

    bool operator==(const DateTimeValue& other) const = default;

private:
    double days_ = 0.0;
};
