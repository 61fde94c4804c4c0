// The main window's OLE drop target: accepts file lists only and hands the dropped paths on as one text.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <string>

#include "platform/com.h"

namespace quorvane {

class FileDropTarget final : public IDropTarget {
public:
    // Called synchronously inside Drop, on the thread that registered the target. The text lives only for
    // the call: one path as it is, several each followed by CR LF, in the order of the drop's file list.
    // A path that the ANSI code page cannot express even in its short form comes through as empty text.
    using FilesDropped = std::function<void(const std::string& paths)>;

    // The returned reference is the owner's; the count starts at 1 for it.
    static ComPtr<FileDropTarget> create(FilesDropped filesDropped);

    // Stops all further delivery, for an owner that goes away while OLE may still hold a reference.
    void disconnect() noexcept;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                        DWORD* effect) noexcept override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) noexcept override;
    HRESULT STDMETHODCALLTYPE DragLeave() noexcept override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                   DWORD* effect) noexcept override;

private:
    explicit FileDropTarget(FilesDropped filesDropped);
    ~FileDropTarget() = default; // only Release deletes

    LONG referenceCount_ = 1;
    bool accepting_ = false; // the drag now over the window carries a file list
    FilesDropped filesDropped_;
};

} // namespace quorvane
