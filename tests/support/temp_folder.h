// A temporary folder of a test's own, removed with everything in it when the test ends.
#pragma once

#include <string>

namespace quorvane::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const noexcept { return path_; }
    // The path of a name inside the folder, in the ANSI code page (the folder itself is ASCII).
    std::string ansiPath(const std::string& name) const;
    std::wstring widePath(const std::wstring& name) const;

    // Creates the file (empty unless given content) and any folders on the way to it.
    static bool createFile(const std::wstring& path, const std::string& content = {});

private:
    std::wstring path_;
};

} // namespace quorvane::testing
