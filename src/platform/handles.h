// The handle kinds the program owns, each closed by its own Windows function.
#pragma once

#include <windows.h>

#include "platform/unique.h"

namespace quorvane {

using UniqueHandle = Unique<HANDLE, &::CloseHandle>;
using UniqueFont = Unique<HFONT, &::DeleteObject>;
using UniqueBrush = Unique<HBRUSH, &::DeleteObject>;
using UniqueWindow = Unique<HWND, &::DestroyWindow>;
using UniqueLibrary = Unique<HMODULE, &::FreeLibrary>;

} // namespace quorvane
