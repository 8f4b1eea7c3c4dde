// Stand-in for the AMD display driver's atipdlxx.dll: the three functions the
// ATI stream binds, on the simulated voltage controller. Every call is logged.
#include <windows.h>

#include "VoltageController.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr int kActionRead = 1;
constexpr int kActionWrite = 2;
constexpr int kFailed = -1;
// Far from any display index, so a caller that stores the id instead of the index shows.
constexpr int kFirstAdapterId = 0x1000;

// The request record as the driver defines it, read independently of the
// program's own declaration so a layout slip on either side shows in the log.
struct I2CRecord {
    std::int32_t recordSize;
    std::int32_t line;
    std::int32_t deviceAddress;
    std::int32_t offset;
    std::int32_t action;
    std::int32_t speed;
    std::int32_t dataSize;
    unsigned char* data;
};

bool listed(const std::vector<int>& indexes, int index)
{
    for (const int listedIndex : indexes) {
        if (listedIndex == index) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" {

int __cdecl ATIDL_GetAdapterID(int displayIndex, int* id)
{
    auto& controller = sim::VoltageController::instance();
    const sim::SimSettings settings = controller.refresh();
    int result = kFailed;
    if (id != nullptr && (!settings.adapters || listed(*settings.adapters, displayIndex))) {
        *id = listed(settings.zeroIdAdapters, displayIndex) ? 0 : kFirstAdapterId + displayIndex;
        result = 0;
    }
    controller.log(settings, sim::logLine("GetAdapterID index=%d result=%d id=%d", displayIndex, result,
                                          result == 0 ? *id : 0));
    return result;
}

int __cdecl ATIDL_GetWriteAndReadI2CRev(int adapter, int* revision)
{
    auto& controller = sim::VoltageController::instance();
    const sim::SimSettings settings = controller.refresh();
    if (revision != nullptr) {
        *revision = 1;
    }
    controller.log(settings, sim::logLine("GetWriteAndReadI2CRev adapter=%d result=0", adapter));
    return 0;
}

int __cdecl ATIDL_WriteAndReadI2C(int adapter, I2CRecord* record)
{
    auto& controller = sim::VoltageController::instance();
    const sim::SimSettings settings = controller.refresh();
    if (record == nullptr) {
        controller.log(settings,
                       sim::logLine("WriteAndReadI2C adapter=%d record=null result=%d", adapter, kFailed));
        return kFailed;
    }
    const bool known = record->action == kActionRead || record->action == kActionWrite;
    const bool done = known && record->recordSize == static_cast<std::int32_t>(sizeof(I2CRecord)) &&
                      controller.transfer(settings, record->deviceAddress, record->offset,
                                          record->action == kActionWrite, record->data, record->dataSize);
    const int result = done ? 0 : kFailed;
    // The first byte after the call: what was written, or what a read left in the buffer.
    const int value = record->data != nullptr && record->dataSize > 0 ? record->data[0] : 0;
    controller.log(settings,
                   sim::logLine("WriteAndReadI2C adapter=%d record=%d line=%d address=0x%02X register=%d "
                                "action=%d speed=%d size=%d value=0x%02X result=%d",
                                adapter, record->recordSize, record->line, record->deviceAddress,
                                record->offset, record->action, record->speed, record->dataSize, value,
                                result));
    return result;
}

} // extern "C"
