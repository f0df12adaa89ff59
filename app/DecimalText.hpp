#pragma once

#include <cstdint>
#include <string>

// The one decimal form used on screen for counts and clock times.
inline std::string DecimalText(std::int64_t value) {
    return std::to_string(value);
}
