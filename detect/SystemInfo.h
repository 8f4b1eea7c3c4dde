#pragma once
// A connection to the management service (WMI), namespace root\cimv2, that
// reads one property of the first instance of a class as ANSI text.
#include <windows.h>
#include <wbemidl.h>

#include <string>
#include <string_view>

#include "detect/ComOwners.h"

// A property value as text in the ANSI code page: a string as it is, a 32-bit
// integer (a memory size in bytes) as "<n> MBytes", anything else "Unknown!".
std::string propertyValueText(const VARIANT& value);

class SystemInfo {
public:
    // Results of the connection steps, kept only to diagnose an empty name;
    // E_PENDING marks a step not reached.
    struct Status {
        HRESULT locator = E_PENDING;     // creating the locator
        HRESULT connection = E_PENDING;  // connecting to root\cimv2
        HRESULT enumeration = E_PENDING; // starting the last enumeration
    };

    // Connects. Without a connection every query leaves the text unchanged,
    // so the adapter name stays empty. Throws std::bad_alloc when no COM
    // string can be allocated.
    SystemInfo();
    ~SystemInfo();
    SystemInfo(const SystemInfo&) = delete;
    SystemInfo& operator=(const SystemInfo&) = delete;

    // Stores the text of the property of the first instance of the class;
    // when the class has no instance (or can't be enumerated) the text stays
    // as it was.
    void queryProperty(std::string_view className, std::string_view propertyName);

    // The name of the first display adapter the service lists; empty when
    // there is none or no connection.
    std::string videoControllerName();

    const std::string& lastValue() const { return valueText; }
    const Status& status() const { return statusCodes; }

private:
    ComPtr<IWbemLocator> locator;
    ComPtr<IWbemServices> services;
    std::string valueText;
    Status statusCodes;
};
