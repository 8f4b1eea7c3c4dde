#pragma once
// A whole file as bytes, for the stand-ins' control file and log and for tests.
#include "common/UniqueHandle.h"

#include <windows.h>

#include <cstddef>
#include <limits>
#include <optional>
#include <string>

// Nothing when the file cannot be opened; at most limit bytes of it. Every
// kind of sharing is allowed: the file's writer may append to it or replace it
// while it is read.
inline std::optional<std::string> readFileText(const std::wstring& path,
                                               std::size_t limit = std::numeric_limits<std::size_t>::max())
{
    const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    if (!file) {
        return std::nullopt;
    }
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (text.size() < limit && ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) {
        text.append(chunk, got);
    }
    if (text.size() > limit) {
        text.resize(limit);
    }
    return text;
}
