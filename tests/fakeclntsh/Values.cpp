// Column values as an array fetch writes them: element i at value + i * size, its indicator,
// length and column code at element i of their arrays.

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "FakeOci.h"

namespace fake {

namespace {

template <typename T>
void put(T* array, std::size_t element, T value) {
    if (array != nullptr) {
        array[element] = value;
    }
}

// A number as Oracle converts it for an integer buffer of size bytes: rounded, range-checked.
int toInteger(const std::string& text, sb4 size, std::int64_t& result) {
    double number = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, number);
    if (error != std::errc() || stop != end || !std::isfinite(number)) {
        return 1722;
    }
    number = std::round(number);
    const double limit = std::ldexp(1.0, size * 8 - 1);
    if (number < -limit || number >= limit) {
        return 1455;
    }
    result = static_cast<std::int64_t>(number);
    return 0;
}

}  // namespace

Written writeValue(const Define& define, std::size_t element, const sim::Value& value) {
    auto* target = static_cast<ub1*>(define.value);
    if (target != nullptr) {
        target += element * static_cast<std::size_t>(define.size);
    }
    if (!value) {
        if (define.indicators == nullptr) {
            return {1405, false};
        }
        put<sb2>(define.indicators, element, -1);
        put<ub2>(define.lengths, element, 0);
        put<ub2>(define.codes, element, 1405);
        return {};
    }
    if (define.type == SQLT_INT) {
        std::int64_t number = 0;
        if (int code = toInteger(*value, define.size, number)) {
            return {code, false};
        }
        if (target != nullptr) {
            // Little-endian: the low bytes are the integer of the buffer's size.
            std::memcpy(target, &number, static_cast<std::size_t>(define.size));
        }
        put<sb2>(define.indicators, element, 0);
        put<ub2>(define.lengths, element, static_cast<ub2>(define.size));
        put<ub2>(define.codes, element, 0);
        return {};
    }
    const std::size_t room = static_cast<std::size_t>(define.size) - 1;
    const bool cut = value->size() > room;
    if (cut && define.indicators == nullptr) {
        return {1406, false};
    }
    const std::size_t copied = cut ? room : value->size();
    if (target != nullptr) {
        std::memcpy(target, value->data(), copied);
        target[copied] = 0;
    }
    const bool reportable = value->size() <= std::size_t(std::numeric_limits<sb2>::max());
    put<sb2>(define.indicators, element,
             !cut         ? sb2(0)
             : reportable ? static_cast<sb2>(value->size())
                          : sb2(-2));
    put<ub2>(define.lengths, element, static_cast<ub2>(copied));
    put<ub2>(define.codes, element, cut ? 1406 : 0);
    return {0, cut};
}

}  // namespace fake
