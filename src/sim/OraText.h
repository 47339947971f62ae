#pragma once
// Oracle's text forms of dates and numbers. Dates are kept in the store as ISO texts
// ("2024-03-05 14:07:09", UTC) and shown the way the server converts them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

// ASCII case folding, as the server folds names.
std::string upperCase(std::string_view text);
std::string lowerCase(std::string_view text);

struct DateTime {
    int year = 1970;
    int month = 1;  // 1-12
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 4;  // 0 = Sunday
    int yearDay = 1;  // 1-366
};

DateTime dateFromUnix(std::int64_t unixSeconds);
std::string isoDate(std::int64_t unixSeconds);
// The same moment on this machine's clock, as the server keeps DATE values: local time.
std::string localIsoDate(std::int64_t unixSeconds);
std::optional<DateTime> parseIsoDate(std::string_view text);

// TO_CHAR(date, model); nullopt when the model holds something that is not a date element.
std::optional<std::string> formatDate(const DateTime& date, std::string_view model);
// A date converted without a format model (DD-MON-RR).
std::string defaultDateText(const DateTime& date);

// A number as Oracle prints it: no trailing ".0", no leading zero before the point.
std::string numberText(double value);
// The literal as a number the store understands ("007" gives "007", " 1.5 " gives "1.5");
// nullopt when Oracle could not convert it.
std::optional<std::string> numericLiteral(std::string_view text);

}  // namespace sim
