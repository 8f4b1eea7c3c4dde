#include "detect/SystemInfo.h"

#include <objbase.h>

#include <new>

namespace {

// The system's ANSI code page: the main program's 8-bit text is in it.
constexpr UINT kAnsiCodePage = CP_ACP;

// Instances of the class itself only, read once front to back.
constexpr LONG kEnumerationFlags =
    static_cast<LONG>(WBEM_FLAG_FORWARD_ONLY) | static_cast<LONG>(WBEM_FLAG_SHALLOW);

constexpr int kBytesPerKilobyte = 1024;

// What the text becomes for a missing, null or unexpected value.
constexpr char kUnknownPropertyText[] = "Unknown!";

ComString toComString(std::string_view text)
{
    const int inputLength = static_cast<int>(text.size());
    const int wideLength =
        text.empty() ? 0 : MultiByteToWideChar(kAnsiCodePage, 0, text.data(), inputLength, nullptr, 0);
    ComString wide(SysAllocStringLen(nullptr, static_cast<UINT>(wideLength)));
    if (!wide) {
        throw std::bad_alloc();
    }
    if (wideLength > 0) {
        MultiByteToWideChar(kAnsiCodePage, 0, text.data(), inputLength, wide.get(), wideLength);
    }
    return wide;
}

std::string toAnsi(BSTR text)
{
    const int wideLength = text == nullptr ? 0 : static_cast<int>(SysStringLen(text));
    if (wideLength == 0) {
        return {};
    }
    const int length = WideCharToMultiByte(kAnsiCodePage, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(kAnsiCodePage, 0, text, wideLength, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

std::string megabytesText(LONG bytes)
{
    // Two truncating divisions, then the sign goes: a reading with the top bit
    // set comes out as the size of its negative value (-1048576 as 1), and
    // dividing first keeps the most negative value from overflowing.
    const LONG megabytes = bytes / kBytesPerKilobyte / kBytesPerKilobyte;
    return std::to_string(megabytes < 0 ? -megabytes : megabytes) + " MBytes";
}

} // namespace

std::string propertyValueText(const VARIANT& value)
{
    switch (value.vt) {
    case VT_BSTR:
        return toAnsi(value.bstrVal);
    case VT_I4:
        return megabytesText(value.lVal);
    default:
        return kUnknownPropertyText;
    }
}

SystemInfo::SystemInfo()
{
    // COM stays initialised for the rest of the thread; a repeated call only
    // counts up, so the result does not matter.
    CoInitialize(nullptr);
    // Security is set once per process: from the second connection on this
    // fails, harmlessly.
    CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_CONNECT,
                         RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);

    statusCodes.locator = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_ALL, IID_IWbemLocator,
                                           reinterpret_cast<void**>(locator.put()));
    if (FAILED(statusCodes.locator) || !locator) {
        return;
    }
    const ComString namespaceName(SysAllocString(L"root\\cimv2"));
    if (!namespaceName) {
        throw std::bad_alloc();
    }
    statusCodes.connection = locator->ConnectServer(namespaceName.get(), nullptr, nullptr, nullptr, 0,
                                                    nullptr, nullptr, services.put());
}

SystemInfo::~SystemInfo()
{
    services.reset();
    locator.reset();
}

void SystemInfo::queryProperty(std::string_view className, std::string_view propertyName)
{
    if (FAILED(statusCodes.connection) || !services) {
        return;
    }
    ComPtr<IEnumWbemClassObject> instances;
    {
        const ComString wideClassName = toComString(className);
        statusCodes.enumeration =
            services->CreateInstanceEnum(wideClassName.get(), kEnumerationFlags, nullptr, instances.put());
    }
    if (FAILED(statusCodes.enumeration) || !instances) {
        return;
    }
    // Only the first instance counts, whatever others there are.
    ComPtr<IWbemClassObject> first;
    ULONG delivered = 0;
    instances->Next(static_cast<LONG>(WBEM_INFINITE), 1, first.put(), &delivered);
    if (delivered == 0 || !first) {
        return;
    }
    const ComString widePropertyName = toComString(propertyName);
    Variant value;
    // A failed Get leaves the variant empty, which reads as "Unknown!".
    first->Get(widePropertyName.get(), 0, value.put(), nullptr, nullptr);
    valueText = propertyValueText(value.get());
}

std::string SystemInfo::videoControllerName()
{
    queryProperty("Win32_VideoController", "Name");
    return valueText;
}
