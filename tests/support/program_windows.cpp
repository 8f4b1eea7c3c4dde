#include "program_windows.h"

#include "res/resource.h"

namespace nt_test {

namespace {

struct Search {
    const std::function<bool(HWND)>& matches;
    HWND found;
};

// A named callback rather than a lambda: a lambda's conversion to the
// system's calling convention is a GCC and MSVC liberty, not standard C++.
BOOL CALLBACK matchWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<Search*>(context);
    if (!search->matches(window)) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

} // namespace

std::wstring className(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

bool isMainWindow(HWND window)
{
    return className(window) == L"#32770" && GetDlgItem(window, IDC_ON) != nullptr;
}

bool isShownMainWindow(HWND window)
{
    return isMainWindow(window) && IsWindowVisible(window);
}

HWND findTopLevelWindow(const std::function<bool(HWND)>& matches)
{
    Search search{matches, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND findWindowOf(DWORD processId, const std::function<bool(HWND)>& matches)
{
    return findTopLevelWindow([&](HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return owner == processId && matches(window);
    });
}

} // namespace nt_test
