// The Windows private-profile (INI) functions, with the program's text type.
#include "platform/profile.h"

#include <windows.h>

#include <vector>

namespace quorvane::platform {

std::string readProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultText, const std::string& file,
                              std::size_t bufferSize)
{
    // Zeroed first: Wine leaves a byte unwritten when the cut falls inside a double-byte character.
    std::vector<char> buffer(bufferSize, '\0');
    ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(), buffer.data(),
                               static_cast<DWORD>(buffer.size()), file.c_str());
    buffer.back() = '\0';
    return std::string(buffer.data());
}

bool writeProfileString(const char* section, const char* key, const char* value, const std::string& file)
{
    return ::WritePrivateProfileStringA(section, key, value, file.c_str()) != FALSE;
}

} // namespace quorvane::platform
