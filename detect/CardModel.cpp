#include "detect/CardModel.h"

#include "detect/SystemInfo.h"

#include <string>

namespace {

struct AdapterName {
    const char* name;
    int model;
};

// Both Radeon forms occur, with and without the vendor in front; the GeForce
// names only with it.
constexpr AdapterName kAdapterNames[] = {
    {"Radeon HD 6800 Series", kRadeonHD6800Model},        {"AMD Radeon HD 6800 Series", kRadeonHD6800Model},
    {"Radeon HD 6900 Series", kRadeonHD6900Model},        {"AMD Radeon HD 6900 Series", kRadeonHD6900Model},
    {"NVIDIA GeForce GTX 560 Ti", kGeForceGTX560TiModel}, {"NVIDIA GeForce GTX 580", kGeForceGTX580Model},
};

bool isWhiteSpace(char c)
{
    switch (c) {
    case ' ':
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
        return true;
    default:
        return false;
    }
}

// Bytes of the character at position: a lead byte with the byte after it
// makes one character; a lead byte with nothing after it stands alone.
std::size_t characterLength(std::string_view text, std::size_t position, UINT codePage)
{
    const bool hasNextByte = position + 1 < text.size();
    return hasNextByte && IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[position])) ? 2 : 1;
}

bool isWhiteSpaceCharacter(std::string_view text, std::size_t position, std::size_t length)
{
    return length == 1 && isWhiteSpace(text[position]);
}

} // namespace

std::string_view trimWhiteSpace(std::string_view text, UINT codePage)
{
    // Trailing run first. Which bytes are trail bytes is only known scanning
    // forward from the start, so the run's start is tracked on the way.
    std::size_t end = text.size();
    for (std::size_t position = 0; position < text.size();) {
        const std::size_t length = characterLength(text, position, codePage);
        if (!isWhiteSpaceCharacter(text, position, length)) {
            end = text.size();
        } else if (end == text.size()) {
            end = position;
        }
        position += length;
    }
    std::size_t begin = 0;
    while (begin < end) {
        const std::size_t length = characterLength(text, begin, codePage);
        if (!isWhiteSpaceCharacter(text, begin, length)) {
            break;
        }
        begin += length;
    }
    return text.substr(begin, end - begin);
}

int cardModelForAdapterName(std::string_view adapterName, UINT codePage)
{
    // The platform's own comparison, case-sensitive over the whole text.
    const std::string trimmed(trimWhiteSpace(adapterName, codePage));
    for (const AdapterName& known : kAdapterNames) {
        if (::lstrcmpA(trimmed.c_str(), known.name) == 0) {
            return known.model;
        }
    }
    return kUnknownCardModel;
}

int identifyCardModel()
{
    SystemInfo systemInfo;
    return cardModelForAdapterName(systemInfo.videoControllerName());
}
