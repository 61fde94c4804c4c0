// Byte-wise text search in ANSI (GBK) text that never starts a match on the second byte of a character.
#pragma once

#include <cstdint>
#include <string_view>

namespace quorvane {

// 1-based byte position of the first occurrence of needle in text, or -1.
// An empty needle is found at 1 in any non-empty text. A byte of 0x80 or above begins a two-byte
// character; a lead byte with nothing after it ends the search with -1. With ignoreCase, ASCII letters
// match regardless of case; the bytes of double-byte characters always match exactly.
std::int32_t findText(std::string_view text, std::string_view needle, bool ignoreCase = false);

} // namespace quorvane
