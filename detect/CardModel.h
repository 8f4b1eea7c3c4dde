#pragma once
// Which of the supported graphics cards is installed, judged by the name of
// the first display adapter the management service reports.
#include <windows.h>

#include <string_view>

// Card models: plain integers, as the main window and the card factory keep them.
inline constexpr int kRadeonHD6800Model = 0;
inline constexpr int kRadeonHD6900Model = 1;
inline constexpr int kGeForceGTX560TiModel = 2;
inline constexpr int kGeForceGTX580Model = 3;
inline constexpr int kUnknownCardModel = 4;

// The text without the white space (space, \t, \n, \v, \f, \r) at both ends.
// The scan steps over double-byte characters of the code page whole, so a
// trail byte is never taken for white space. The result points into text.
std::string_view trimWhiteSpace(std::string_view text, UINT codePage = CP_ACP);

// The card model an adapter name selects: the trimmed name must equal one of
// the known names exactly (case included); anything else is kUnknownCardModel.
int cardModelForAdapterName(std::string_view adapterName, UINT codePage = CP_ACP);

// Asks the management service for the first display adapter's name and maps
// it; kUnknownCardModel when the service can't be reached. A fresh query on
// every call. Throws std::bad_alloc when no COM string can be allocated.
int identifyCardModel();
