#include "ClientCursor.h"

#include <cstring>

#include "OciMessages.h"

namespace {

template <typename T>
void copyElement(const std::vector<T>& from, T* to, std::size_t element) {
    if (to != nullptr && element < from.size()) {
        to[element] = from[element];
    }
}

std::size_t elementLength(const OciDefine& define) {
    return define.length > 0 ? static_cast<std::size_t>(define.length) : 0;
}

}  // namespace

void StagedColumn::resize(const OciDefine& define, ub4 rows) {
    values.assign(elementLength(define) * rows, 0);
    indicators.assign(rows, 0);
    lengths.assign(rows, 0);
    codes.assign(rows, 0);
}

OciDefine StagedColumn::target(const OciDefine& define) {
    return OciDefine{values.empty() ? nullptr : values.data(),
                     define.length,
                     define.type,
                     indicators.data(),
                     lengths.data(),
                     codes.data()};
}

void finishElement(const OciDefine& define, std::size_t element) {
    const std::size_t length = elementLength(define);
    if (define.type != kExtString || define.buffer == nullptr || define.indicators == nullptr ||
        length == 0) {
        return;
    }
    ub1* value = define.buffer + element * length;
    const sb2 indicator = define.indicators[element];
    if (indicator == -1) {
        value[0] = 0;
    } else if (indicator > 0 || indicator == -2) {
        value[length - 1] = 0;
    }
}

int deliverStaged(const ClientDefine& define, std::size_t element) {
    const OciDefine& caller = define.caller;
    const StagedColumn& staged = define.staging;
    const bool isNull = element < staged.indicators.size() && staged.indicators[element] == -1;
    if (isNull && caller.indicators == nullptr) {
        return OraCode::NullWithoutIndicator;
    }
    copyElement(staged.indicators, caller.indicators, element);
    copyElement(staged.lengths, caller.lengths, element);
    copyElement(staged.codes, caller.codes, element);
    const std::size_t length = elementLength(caller);
    if (caller.buffer != nullptr && !isNull && (element + 1) * length <= staged.values.size()) {
        std::memcpy(caller.buffer + element * length, staged.values.data() + element * length,
                    length);
    }
    finishElement(caller, element);
    return 0;
}

int deliverStagedRows(const ClientCursor& cursor, ub4 rows, ub4& delivered) {
    for (delivered = 0; delivered < rows; ++delivered) {
        for (const auto& [position, define] : cursor.defines) {
            if (int code = deliverStaged(define, delivered)) {
                return code;
            }
        }
    }
    return 0;
}
