// The settings file: the launch count and the program path, remembered between runs in one INI file.
#pragma once

#include <optional>
#include <string>

#include "settings/launch_settings.h"

namespace quorvane {

class SettingsFile {
public:
    static constexpr const char* fixedPath = "C:\\Program Files\\Quorvane.ini";
    static constexpr std::size_t valueBufferSize = 10240;

    explicit SettingsFile(std::string path = fixedPath);

    // The stored value, the default when the file, section or key is missing, or empty text when a
    // name is empty once its leading blanks are skipped (the file is not touched then).
    std::string readValue(const std::string& section, const std::string& key,
                          const std::string& defaultText = {}) const;
    // An omitted key removes the section, an omitted value the key; an empty value is stored as empty.
    bool writeValue(const std::string& section, const std::optional<std::string>& key,
                    const std::optional<std::string>& value) const;

    LaunchSettings load() const;
    bool storeProgramPath(const std::string& path) const;
    bool storeLaunchCount(const std::string& countText) const;

    const std::string& path() const noexcept { return path_; }

private:
    std::string path_;
};

} // namespace quorvane
