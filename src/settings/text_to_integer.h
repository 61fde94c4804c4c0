// The numeric reading of the count text: full-width forms folded, then a decimal read that wraps at 32 bits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane {

// Replaces GBK full-width forms that have a half-width equivalent by that one byte; drops a trailing lone lead byte.
std::string foldFullWidth(std::string_view text);

// atoi-style read of foldFullWidth(text): blanks skipped, one sign, digits to the first non-digit; 0 without digits.
std::int32_t textToInteger(std::string_view text);

} // namespace quorvane
