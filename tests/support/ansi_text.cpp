// Conversions between the program's ANSI text (code page 936 here) and the wide text of the Windows API.
#include "ansi_text.h"

#include <windows.h>

namespace quorvane::testing {

std::wstring toWide(const std::string& ansi)
{
    const int size = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), size);
    return wide;
}

std::string toAnsi(const std::wstring& wide)
{
    const int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), size, nullptr,
                          nullptr);
    return ansi;
}

} // namespace quorvane::testing
