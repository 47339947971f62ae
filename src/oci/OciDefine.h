#pragma once
// One output column as odefin describes it, and the conversion of a fetched value into it.

#include <cstddef>
#include <optional>
#include <string>

#include "Oci.h"

struct OciDefine {
    ub1* buffer = nullptr;
    sword length = 0;  // bytes per element; elements lie at buffer + i * length
    sword type = 0;    // kExtInteger or kExtString
    sb2* indicators = nullptr;
    ub2* lengths = nullptr;
    ub2* codes = nullptr;
};

// 0 when the type and length can be delivered, else the error that fails odefin.
int checkDefine(const OciDefine& define);

// Writes value (nullopt = NULL) into element i of the column; 0 or the error that fails the fetch.
int deliverValue(const OciDefine& define, std::size_t element,
                 const std::optional<std::string>& value);
