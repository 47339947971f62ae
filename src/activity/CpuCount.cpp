#include "CpuCount.h"

#include <cstdlib>

#include "TextRows.h"

namespace {
constexpr ub2 kTableOrViewDoesNotExist = 942;
constexpr int kValueWidth = 4000 + 1;
}  // namespace

int ReadCpuCount() {
    const auto rows = FetchTextRows("SELECT value FROM sys.v_$parameter WHERE name = 'cpu_count'",
                                    {kValueWidth}, 1, kTableOrViewDoesNotExist);
    return rows && !rows->empty() ? std::atoi(rows->front().front().c_str()) : 0;
}
