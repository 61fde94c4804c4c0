// Behaviours added to the window's edit boxes: text centred in a tall box, and the count box's typing filter.
#include "app/edit_box.h"

#include <commctrl.h>

#include "app/input_rules.h"

namespace quorvane {

namespace {

constexpr UINT_PTR centringSubclassId = 1;
constexpr UINT_PTR countFilterSubclassId = 2;

int lineHeight(HWND edit)
{
    HDC dc = ::GetDC(edit);
    if (!dc) return 0;
    const HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(edit, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    ::SelectObject(dc, previous);
    ::ReleaseDC(edit, dc);
    return metrics.tmHeight;
}

void shrinkToLine(RECT& client, int textHeight)
{
    const int spare = (client.bottom - client.top) - textHeight;
    if (textHeight <= 0 || spare <= 0) return;
    client.top += spare / 2;
    client.bottom -= spare - spare / 2;
}

// Fills the bands above and below the client area with the brush the box paints its text area with.
void paintSpareBands(HWND edit)
{
    HDC dc = ::GetWindowDC(edit);
    if (!dc) return;
    RECT window{};
    ::GetWindowRect(edit, &window);
    RECT client{};
    ::GetClientRect(edit, &client);
    ::MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ::OffsetRect(&client, -window.left, -window.top);
    ::OffsetRect(&window, -window.left, -window.top);
    const int edgeX = ::GetSystemMetrics(SM_CXEDGE);
    const int edgeY = ::GetSystemMetrics(SM_CYEDGE);
    RECT inside{window.left + edgeX, window.top + edgeY, window.right - edgeX, window.bottom - edgeY};
    const UINT colourMessage = ::IsWindowEnabled(edit) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
    auto brush = reinterpret_cast<HBRUSH>(::SendMessageA(::GetParent(edit), colourMessage,
                                                          reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)));
    if (!brush) brush = ::GetSysColorBrush(COLOR_WINDOW);
    ::ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    ::FillRect(dc, &inside, brush);
    ::ReleaseDC(edit, dc);
}

LRESULT CALLBACK centringProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    switch (message) {
    case WM_NCCALCSIZE: {
        const LRESULT result = ::DefSubclassProc(edit, message, wParam, lParam);
        RECT& client = wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : *reinterpret_cast<RECT*>(lParam);
        shrinkToLine(client, lineHeight(edit));
        return result;
    }
    case WM_NCPAINT: {
        const LRESULT result = ::DefSubclassProc(edit, message, wParam, lParam);
        paintSpareBands(edit);
        return result;
    }
    case WM_ENABLE: {
        const LRESULT result = ::DefSubclassProc(edit, message, wParam, lParam);
        ::RedrawWindow(edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return result;
    }
    case WM_NCHITTEST: {
        // The bands belong to the text area as far as the mouse is concerned.
        const LRESULT hit = ::DefSubclassProc(edit, message, wParam, lParam);
        return hit == HTBORDER || hit == HTNOWHERE ? HTCLIENT : hit;
    }
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(edit, centringProc, centringSubclassId);
        break;
    }
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

LRESULT CALLBACK countFilterProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    switch (message) {
    case WM_CHAR:
        if (!countBoxAcceptsCharacter(static_cast<unsigned int>(wParam))) return 0; // dropped, no beep
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(edit, countFilterProc, countFilterSubclassId);
        break;
    }
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

} // namespace

bool centreTextVertically(HWND edit)
{
    if (!::SetWindowSubclass(edit, centringProc, centringSubclassId, 0)) return false;
    ::SetWindowPos(edit, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return true;
}

bool filterCountCharacters(HWND edit)
{
    return ::SetWindowSubclass(edit, countFilterProc, countFilterSubclassId, 0) != FALSE;
}

} // namespace quorvane
