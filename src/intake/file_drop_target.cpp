// The main window's OLE drop target: accepts file lists only and hands the dropped paths on as one text.
#include "intake/file_drop_target.h"

#include <shellapi.h>

#include <optional>
#include <utility>

#include "intake/drop_effect.h"

namespace quorvane {

static_assert(DROPEFFECT_NONE == dropEffect::none && DROPEFFECT_COPY == dropEffect::copy &&
              DROPEFFECT_MOVE == dropEffect::move && DROPEFFECT_LINK == dropEffect::link);
static_assert(MK_SHIFT == dragKey::shift && MK_CONTROL == dragKey::control);

namespace {

FORMATETC fileListFormat()
{
    return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// The ANSI form of a wide text, only when converting it back gives the same text: substitute characters
// and best-fit look-alikes would name another file, or none.
std::optional<std::string> exactAnsiText(const std::wstring& wide)
{
    if (wide.empty()) return std::string();
    const int wideLength = static_cast<int>(wide.size());
    const int ansiLength = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (ansiLength <= 0) return std::nullopt;
    std::string ansi(static_cast<std::size_t>(ansiLength), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, ansi.data(), ansiLength, nullptr, nullptr);

    const int backLength = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), ansiLength, nullptr, 0);
    std::wstring back(static_cast<std::size_t>(backLength), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), ansiLength, back.data(), backLength);
    if (back != wide) return std::nullopt;
    return ansi;
}

std::wstring shortPathOf(const std::wstring& path)
{
    const DWORD size = ::GetShortPathNameW(path.c_str(), nullptr, 0);
    if (size == 0) return {};
    std::wstring shortPath(size, L'\0');
    const DWORD length = ::GetShortPathNameW(path.c_str(), shortPath.data(), size);
    if (length == 0 || length >= size) return {};
    shortPath.resize(length);
    return shortPath;
}

// The dropped path at index in the code page's form: as it is when the code page can express it, else its
// short 8.3 form when that one can, else empty text. It is read in UTF-16 because the ANSI form that
// DragQueryFileA gives hides the characters that the code page lacks behind substitutes.
std::string droppedPathAt(HDROP fileList, UINT index)
{
    const UINT length = ::DragQueryFileW(fileList, index, nullptr, 0);
    std::wstring widePath(length + 1, L'\0');
    widePath.resize(::DragQueryFileW(fileList, index, widePath.data(), length + 1));

    if (auto exact = exactAnsiText(widePath)) return std::move(*exact);
    const std::wstring shortPath = shortPathOf(widePath);
    if (shortPath.empty()) return {};
    if (auto exactShort = exactAnsiText(shortPath)) return std::move(*exactShort);
    return {};
}

std::string droppedPathsText(HDROP fileList)
{
    const UINT count = ::DragQueryFileW(fileList, 0xFFFFFFFF, nullptr, 0);
    if (count == 1) return droppedPathAt(fileList, 0);
    std::string text;
    for (UINT index = 0; index < count; ++index) text.append(droppedPathAt(fileList, index)).append("\r\n");
    return text;
}

// The dropped-paths text of the data's file list, read after the medium is released; nullopt when the list
// cannot be fetched.
std::optional<std::string> fetchDroppedPaths(IDataObject& data)
{
    FORMATETC format = fileListFormat();
    STGMEDIUM medium{};
    if (FAILED(data.GetData(&format, &medium))) return std::nullopt;
    const StorageMediumGuard release(medium);
    if (medium.tymed != TYMED_HGLOBAL || !medium.hGlobal) return std::nullopt;
    return droppedPathsText(static_cast<HDROP>(medium.hGlobal));
}

} // namespace

ComPtr<FileDropTarget> FileDropTarget::create(FilesDropped filesDropped)
{
    return ComPtr<FileDropTarget>::attach(new FileDropTarget(std::move(filesDropped)));
}

FileDropTarget::FileDropTarget(FilesDropped filesDropped) : filesDropped_(std::move(filesDropped)) {}

void FileDropTarget::disconnect() noexcept
{
    filesDropped_ = nullptr;
}

HRESULT FileDropTarget::QueryInterface(REFIID iid, void** object) noexcept
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FileDropTarget::AddRef() noexcept
{
    return static_cast<ULONG>(::InterlockedIncrement(&referenceCount_));
}

ULONG FileDropTarget::Release() noexcept
{
    const LONG remaining = ::InterlockedDecrement(&referenceCount_);
    if (remaining == 0) delete this;
    return static_cast<ULONG>(remaining);
}

HRESULT FileDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL, DWORD* effect) noexcept
{
    if (!effect) return E_INVALIDARG;
    FORMATETC format = fileListFormat();
    accepting_ = data && data->QueryGetData(&format) == S_OK;
    *effect = chooseDropEffect(accepting_, keyState, *effect);
    return S_OK;
}

HRESULT FileDropTarget::DragOver(DWORD keyState, POINTL, DWORD* effect) noexcept
{
    if (!effect) return E_INVALIDARG;
    *effect = chooseDropEffect(accepting_, keyState, *effect);
    return S_OK;
}

HRESULT FileDropTarget::DragLeave() noexcept
{
    accepting_ = false;
    return S_OK;
}

HRESULT FileDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL, DWORD* effect) noexcept
{
    if (!effect) return E_INVALIDARG;
    *effect = data ? chooseDropEffect(accepting_, keyState, *effect) : DROPEFFECT_NONE;
    if (*effect == DROPEFFECT_NONE) return S_OK;
    try {
        const std::optional<std::string> paths = fetchDroppedPaths(*data);
        if (!paths) {
            // Nothing arrived, so the source must not act as if it had (after a move it would delete its file).
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        // A copy of the handler, so that an owner which disconnects during the call does not pull it away.
        if (const FilesDropped deliver = filesDropped_) deliver(*paths);
        return S_OK;
    } catch (...) {
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

} // namespace quorvane
