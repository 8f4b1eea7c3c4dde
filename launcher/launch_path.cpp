#include "launcher/launch_path.h"

#include <cwchar>

namespace {
constexpr wchar_t kMainProgram[] = L"Norvik_Tallo.exe";
constexpr std::size_t kMainProgramLength = sizeof kMainProgram / sizeof kMainProgram[0] - 1;
} // namespace

bool makeMainProgramPath(wchar_t (&path)[kLaunchPathCapacity], unsigned long length)
{
    // A length that fills the buffer means the module path was truncated.
    if (length == 0 || length >= kLaunchPathCapacity || path[length] != L'\0') {
        return false;
    }
    wchar_t* lastSlash = std::wcsrchr(path, L'\\');
    if (lastSlash == nullptr) {
        return false;
    }
    const std::size_t folderLength = static_cast<std::size_t>(lastSlash - path) + 1;
    if (folderLength + kMainProgramLength + 1 > kLaunchPathCapacity) {
        return false;
    }
    std::wmemcpy(path + folderLength, kMainProgram, kMainProgramLength + 1);
    return true;
}
