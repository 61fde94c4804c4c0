// Conversions between the program's ANSI text (code page 936 here) and the wide text of the Windows API.
#pragma once

#include <string>

namespace quorvane::testing {

std::wstring toWide(const std::string& ansi);
// Characters the code page cannot hold come out as the system's substitute character.
std::string toAnsi(const std::wstring& wide);

} // namespace quorvane::testing
