// A temporary folder of a test's own, removed with everything in it when the test ends.
#include "temp_folder.h"

#include <atomic>

#include "ansi_text.h"
#include "platform/handles.h"

namespace quorvane::testing {

namespace {

using UniqueFind = Unique<HANDLE, &::FindClose>;

// CreateFile and FindFirstFile answer INVALID_HANDLE_VALUE, not null, when they fail.
HANDLE nullWhenInvalid(HANDLE handle)
{
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

void removeTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    const UniqueFind search(nullWhenInvalid(::FindFirstFileW((folder + L"\\*").c_str(), &entry)));
    if (search) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(path);
            } else {
                ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(search.get(), &entry));
    }
    ::RemoveDirectoryW(folder.c_str());
}

} // namespace

TempFolder::TempFolder()
{
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    std::wstring base = temp;
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    path_ = base + L"\\quorvane-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    removeTree(path_);
    ::CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    removeTree(path_);
}

std::string TempFolder::ansiPath(const std::string& name) const
{
    return toAnsi(path_) + "\\" + name;
}

std::wstring TempFolder::widePath(const std::wstring& name) const
{
    return path_ + L"\\" + name;
}

bool TempFolder::createFile(const std::wstring& path, const std::string& content)
{
    for (std::size_t slash = path.find(L'\\', 3); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1)) {
        ::CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    }
    const UniqueHandle file(nullWhenInvalid(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!file) return false;
    DWORD written = 0;
    return content.empty() ||
           ::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
}

} // namespace quorvane::testing
