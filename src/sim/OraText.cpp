#include "OraText.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace sim {

namespace {

constexpr std::array<const char*, 12> kMonths = {"JANUARY",   "FEBRUARY", "MARCH",    "APRIL",
                                                 "MAY",       "JUNE",     "JULY",     "AUGUST",
                                                 "SEPTEMBER", "OCTOBER",  "NOVEMBER", "DECEMBER"};
constexpr std::array<const char*, 7> kDays = {"SUNDAY",   "MONDAY", "TUESDAY", "WEDNESDAY",
                                              "THURSDAY", "FRIDAY", "SATURDAY"};

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - (a % b < 0 ? 1 : 0);
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = floorDiv(y, 400);
    const int yoe = static_cast<int>(y - era * 400);
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool isLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

std::string padded(long value, int width, bool fill) {
    char buffer[32];
    if (fill) {
        std::snprintf(buffer, sizeof buffer, "%0*ld", width, value);
    } else {
        std::snprintf(buffer, sizeof buffer, "%ld", value);
    }
    return buffer;
}

// Oracle spells a word element the way the element is written: "MON", "Mon" or "mon".
std::string spelled(std::string word, std::string_view element, std::size_t width, bool fill) {
    const bool firstUpper = std::isupper(static_cast<unsigned char>(element[0]));
    const bool secondUpper =
        element.size() > 1 && std::isupper(static_cast<unsigned char>(element[1]));
    for (std::size_t i = 0; i < word.size(); ++i) {
        const bool upper = firstUpper && (i == 0 || secondUpper);
        word[i] =
            static_cast<char>(upper ? word[i] : std::tolower(static_cast<unsigned char>(word[i])));
    }
    if (fill && word.size() < width) {
        word.append(width - word.size(), ' ');
    }
    return word;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

// Longer elements first so that "MONTH" is not read as "MON" and "TH".
constexpr std::array<std::string_view, 24> kElements = {
    "A.M.", "P.M.", "MONTH", "SSSSS", "HH24", "HH12", "YYYY", "RRRR", "MON", "DAY", "DDD", "YYY",
    "FM",   "MM",   "DY",    "DD",    "YY",   "RR",   "HH",   "MI",   "SS",  "AM",  "PM",  "D"};

std::optional<std::string> element(const DateTime& t, std::string_view written,
                                   std::string_view name, bool fill) {
    const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    const std::string month = kMonths[t.month - 1];
    const std::string day = kDays[t.weekday];
    if (name == "MONTH")
        return spelled(month, written, 9, fill);
    if (name == "MON")
        return spelled(month.substr(0, 3), written, 3, fill);
    if (name == "DAY")
        return spelled(day, written, 9, fill);
    if (name == "DY")
        return spelled(day.substr(0, 3), written, 3, fill);
    if (name == "AM" || name == "PM")
        return spelled(t.hour < 12 ? "AM" : "PM", written, 2, fill);
    if (name == "A.M." || name == "P.M.") {
        return spelled(t.hour < 12 ? "A.M." : "P.M.", written, 4, fill);
    }
    if (name == "SSSSS")
        return padded(t.hour * 3600L + t.minute * 60L + t.second, 5, fill);
    if (name == "HH24")
        return padded(t.hour, 2, fill);
    if (name == "HH12" || name == "HH")
        return padded(hour12, 2, fill);
    if (name == "YYYY" || name == "RRRR")
        return padded(t.year, 4, fill);
    if (name == "YYY")
        return padded(t.year % 1000, 3, fill);
    if (name == "YY" || name == "RR")
        return padded(t.year % 100, 2, fill);
    if (name == "DDD")
        return padded(t.yearDay, 3, fill);
    if (name == "DD")
        return padded(t.day, 2, fill);
    if (name == "D")
        return padded(t.weekday + 1, 1, fill);
    if (name == "MM")
        return padded(t.month, 2, fill);
    if (name == "MI")
        return padded(t.minute, 2, fill);
    if (name == "SS")
        return padded(t.second, 2, fill);
    return std::nullopt;
}

}  // namespace

std::string upperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string lowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

DateTime dateFromUnix(std::int64_t unixSeconds) {
    const std::int64_t days = floorDiv(unixSeconds, 86400);
    const std::int64_t secs = unixSeconds - days * 86400;
    const std::int64_t z = days + 719468;
    const std::int64_t era = floorDiv(z, 146097);
    const int doe = static_cast<int>(z - era * 146097);
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    DateTime t;
    t.day = doy - (153 * mp + 2) / 5 + 1;
    t.month = mp < 10 ? mp + 3 : mp - 9;
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
    t.hour = static_cast<int>(secs / 3600);
    t.minute = static_cast<int>(secs / 60 % 60);
    t.second = static_cast<int>(secs % 60);
    t.weekday = static_cast<int>(((days + 4) % 7 + 7) % 7);
    t.yearDay = static_cast<int>(days - daysFromCivil(t.year, 1, 1)) + 1;
    return t;
}

std::string isoDate(std::int64_t unixSeconds) {
    const DateTime t = dateFromUnix(unixSeconds);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return buffer;
}

std::string localIsoDate(std::int64_t unixSeconds) {
    const std::time_t moment = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    if (localtime_r(&moment, &local) == nullptr) {
        return isoDate(unixSeconds);
    }
    return isoDate(unixSeconds + local.tm_gmtoff);
}

std::optional<DateTime> parseIsoDate(std::string_view text) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    char tail = 0;
    const std::string copy(text);
    if (copy.size() != 19 || std::sscanf(copy.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h,
                                         &mi, &s, &tail) != 6) {
        return std::nullopt;
    }
    const int monthDays[] = {31, isLeap(y) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mo < 1 || mo > 12 || d < 1 || d > monthDays[mo - 1] || h > 23 || mi > 59 || s > 59) {
        return std::nullopt;
    }
    return dateFromUnix(daysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s);
}

std::optional<std::string> formatDate(const DateTime& date, std::string_view model) {
    std::string out;
    bool fill = true;
    std::size_t i = 0;
    while (i < model.size()) {
        const char c = model[i];
        if (c == '"') {
            const std::size_t end = model.find('"', i + 1);
            if (end == std::string_view::npos) {
                return std::nullopt;
            }
            out.append(model.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        if (c == ' ' || c == '-' || c == '/' || c == ',' || c == '.' || c == ';' || c == ':') {
            out += c;
            ++i;
            continue;
        }
        const std::string_view rest = model.substr(i);
        std::optional<std::string> text;
        for (std::string_view name : kElements) {
            if (!startsWithNoCase(rest, name)) {
                continue;
            }
            if (name == "FM") {
                fill = !fill;
                text = "";
            } else {
                text = element(date, rest.substr(0, name.size()), name, fill);
            }
            i += name.size();
            break;
        }
        if (!text) {
            return std::nullopt;
        }
        out += *text;
    }
    return out;
}

std::string defaultDateText(const DateTime& date) {
    return *formatDate(date, "DD-MON-RR");
}

std::string numberText(double value) {
    if (std::isfinite(value) && std::trunc(value) == value && std::fabs(value) < 1e15) {
        return padded(static_cast<long>(value), 1, false);
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text = buffer;
    if (text.rfind("0.", 0) == 0) {
        text.erase(0, 1);
    } else if (text.rfind("-0.", 0) == 0) {
        text.erase(1, 1);
    }
    return text;
}

std::optional<std::string> numericLiteral(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    std::string out;
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            out += text[i++];
        }
        return i - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i++] == '-')
            out += '-';
    }
    if (i < text.size() && text[i] == '.') {
        out += "0";
    }
    std::size_t count = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        out += '.';
        count += digits();
        if (out.back() == '.')
            out += '0';
    }
    if (count == 0) {
        return std::nullopt;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        out += text[i++];
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            out += text[i++];
        if (digits() == 0)
            return std::nullopt;
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    return out;
}

}  // namespace sim
