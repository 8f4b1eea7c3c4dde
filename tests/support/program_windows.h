#pragma once
// Norvik_Tallo's top-level windows as another process finds them.
#include <windows.h>

#include <functional>
#include <string>

namespace nt_test {

std::wstring className(HWND window);
// A dialog holding the On button: the program's main window, shown or not.
bool isMainWindow(HWND window);
bool isShownMainWindow(HWND window);
// The first top-level window that matches, of any process; null when none does.
HWND findTopLevelWindow(const std::function<bool(HWND)>& matches);
// The same among the windows of one process.
HWND findWindowOf(DWORD processId, const std::function<bool(HWND)>& matches);

} // namespace nt_test
