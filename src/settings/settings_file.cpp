// The settings file: the launch count and the program path, remembered between runs in one INI file.
#include "settings/settings_file.h"

#include <utility>

#include "platform/profile.h"
#include "settings/profile_text.h"

namespace quorvane {

namespace {

const std::string sectionName = "基本信息";
const std::string countKey = "多开数量";
const std::string pathKey = "文件路径";
const std::string defaultCount = "3";

} // namespace

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {}

std::string SettingsFile::readValue(const std::string& section, const std::string& key,
                                    const std::string& defaultText) const
{
    const std::string file(skipLeadingBlanks(path_));
    const std::string sectionUsed(skipLeadingBlanks(section));
    const std::string keyUsed(skipLeadingBlanks(key));
    if (file.empty() || sectionUsed.empty() || keyUsed.empty()) return {};
    return platform::readProfileString(sectionUsed, keyUsed, defaultText, file, valueBufferSize);
}

bool SettingsFile::writeValue(const std::string& section, const std::optional<std::string>& key,
                              const std::optional<std::string>& value) const
{
    const std::optional<std::string> written = value ? std::optional(protectedForReading(*value)) : std::nullopt;
    return platform::writeProfileString(section.c_str(), key ? key->c_str() : nullptr,
                                        written ? written->c_str() : nullptr, path_);
}

LaunchSettings SettingsFile::load() const
{
    return LaunchSettings{readValue(sectionName, countKey, defaultCount), readValue(sectionName, pathKey)};
}

bool SettingsFile::storeProgramPath(const std::string& path) const
{
    return writeValue(sectionName, pathKey, path);
}

bool SettingsFile::storeLaunchCount(const std::string& countText) const
{
    return writeValue(sectionName, countKey, countText);
}

} // namespace quorvane
