// The Windows private-profile (INI) functions, with the program's text type.
#pragma once

#include <cstddef>
#include <string>

namespace quorvane::platform {

// GetPrivateProfileStringA into a zeroed buffer of bufferSize bytes; the text up to the first zero byte.
std::string readProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultText, const std::string& file,
                              std::size_t bufferSize);

// WritePrivateProfileStringA; a null key removes the section, a null value removes the key.
bool writeProfileString(const char* section, const char* key, const char* value, const std::string& file);

} // namespace quorvane::platform
