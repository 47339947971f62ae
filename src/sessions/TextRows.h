#pragma once
// A small query of text columns, read in one round trip.

#include <optional>
#include <string>
#include <vector>

#include "Oci.h"

using TextRows = std::vector<std::vector<std::string>>;

// At most capacity rows, each value as text (empty for NULL). None when the server answered
// quietCode, which is shown nowhere; any other failure has been reported and leaves the rows read
// so far.
std::optional<TextRows> FetchTextRows(const std::string& sql, const std::vector<int>& widths,
                                      ub4 capacity, ub2 quietCode);
