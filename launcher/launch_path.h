#pragma once
#include <cstddef>

// Characters in the launcher's path buffer, terminating NUL included.
inline constexpr std::size_t kLaunchPathCapacity = 260;

// Turns the launcher's own module path (path, its length as the platform
// reported it) into the path of Norvik_Tallo.exe in the same folder, in place.
// Returns false and leaves nothing to start when the module path was cut off
// or the result would not fit the buffer: a cut path could name another file.
bool makeMainProgramPath(wchar_t (&path)[kLaunchPathCapacity], unsigned long length);
