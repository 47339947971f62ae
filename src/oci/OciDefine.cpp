#include "OciDefine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "OciMessages.h"

namespace {

template <typename T>
void setElement(T* array, std::size_t element, T value) {
    if (array != nullptr) {
        array[element] = value;
    }
}

int toInteger(const std::string& text, std::int32_t& result) {
    double number = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, number);
    if (error != std::errc() || stop != end || !std::isfinite(number)) {
        return OraCode::InvalidNumber;
    }
    // Assumed: a fractional number rounds half away from zero, as Oracle's NUMBER to integer.
    number = std::round(number);
    if (number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::int32_t>::max()) {
        return OraCode::IntegerOverflow;
    }
    result = static_cast<std::int32_t>(number);
    return 0;
}

}  // namespace

int checkDefine(const OciDefine& define) {
    const bool fits = (define.type == kExtInteger && define.length == 4) ||
                      (define.type == kExtString && define.length >= 1);
    return fits ? 0 : OraCode::UnsupportedConversion;
}

int deliverValue(const OciDefine& define, std::size_t element,
                 const std::optional<std::string>& value) {
    if (!value) {
        if (define.indicators == nullptr) {
            return OraCode::NullWithoutIndicator;
        }
        // The buffer keeps whatever it held, as with Oracle's own client.
        define.indicators[element] = -1;
        setElement<ub2>(define.lengths, element, 0);
        setElement<ub2>(define.codes, element, OraCode::NullWithoutIndicator);
        return 0;
    }
    // A column defined over no storage, as for an array of no rows, takes NULLs only.
    if (define.buffer == nullptr) {
        return OraCode::UnsupportedConversion;
    }
    ub1* target = define.buffer + element * static_cast<std::size_t>(define.length);
    if (define.type == kExtInteger) {
        std::int32_t number = 0;
        if (int code = toInteger(*value, number)) {
            return code;
        }
        std::memcpy(target, &number, sizeof number);
        setElement<sb2>(define.indicators, element, 0);
        setElement<ub2>(define.lengths, element, sizeof number);
        setElement<ub2>(define.codes, element, 0);
        return 0;
    }
    const std::size_t room = static_cast<std::size_t>(define.length) - 1;
    const std::size_t copied = std::min(value->size(), room);
    std::memcpy(target, value->data(), copied);
    target[copied] = 0;
    setElement<ub2>(define.lengths, element, static_cast<ub2>(copied));
    if (copied < value->size()) {
        // Assumed: release-7 truncation is no failure; indicator and column code report it.
        const bool reportable = value->size() <= std::size_t(std::numeric_limits<sb2>::max());
        setElement<sb2>(define.indicators, element,
                        reportable ? static_cast<sb2>(value->size()) : sb2(-2));
        setElement<ub2>(define.codes, element, OraCode::Truncated);
    } else {
        setElement<sb2>(define.indicators, element, 0);
        setElement<ub2>(define.codes, element, 0);
    }
    return 0;
}
