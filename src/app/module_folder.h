// The folder part of a program path, found without mistaking a double-byte character's second byte for a backslash.
#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// The text before the last backslash that is a character of its own; empty when there is none.
// A byte of 0x80 or above begins a two-byte character.
std::string folderOfPath(std::string_view path);

} // namespace quorvane
